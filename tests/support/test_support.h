// Shared helpers for the tests.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/r12_writer.h"

namespace tabulon::test {

// Folder for files the tests write ($TABULON_TEST_OUTPUT, else a temp folder).
std::string TestOutputDir();

// A fresh, empty folder under the output folder.
std::string FreshDir(const std::string& name);

// What a real DXF reader must find in a drawing: entity counts keyed
// "TYPE@LAYER" (e.g. "LINE@XLSBordLine"), and the TEXT values in file order.
struct DxfExpectation {
    std::map<std::string, int> entities;
    std::vector<std::string> texts;  // UTF-8
};

// Saves the drawing as <output>/<name>.dxf through the production save path, and
// the expectation beside it as <name>.expect.json, for the ezdxf audit that runs
// after the tests.
void SaveForAudit(const std::string& name, const DxfLines& lines, const DxfExpectation& expect);

// The message a capture file is refused with, or "(no error)".
std::string CaptureErrorOf(std::string_view json);

}  // namespace tabulon::test
