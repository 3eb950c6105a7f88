#include "cli/cli.h"

#include "platform/console.h"

namespace tabulon {

namespace {

constexpr const char* kUsage =
    "tabulon - turns captured spreadsheet tables into AutoCAD R12 DXF drawings\n"
    "\n"
    "Usage:\n"
    "  tabulon convert CAPTURE.json [-o OUT.dxf] [--force] [--settings FILE.ini] [--no-cell-lines] [--sheet-look]\n"
    "  tabulon convert BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o OUT.dxf] [...]\n"
    "  tabulon capture BOOK.xlsx [--sheet NAME] [--range A1:F20] [-o CAPTURE.json]\n"
    "  tabulon preview CAPTURE.json|BOOK.xlsx [-o OUT.svg|OUT.png] [...]\n"
    "  tabulon --help | tabulon convert --help | tabulon capture --help | tabulon preview --help\n"
    "  tabulon --version\n"
    "\n"
    "Commands:\n"
    "  convert   Draw a capture file (cells, sizes, borders, merged areas, texts) as\n"
    "            a DXF of lines and texts, in code page 932 (Shift-JIS). Given a\n"
    "            workbook, it captures the range first.\n"
    "  preview   Draw the same drawing as a picture (SVG, or PNG where the build\n"
    "            can), to look at it without CAD.\n"
    "  capture   Capture a range of an .xlsx workbook into a capture file, without\n"
    "            a spreadsheet program (Linux build).\n"
    "\n"
    "Exit status: 0 done, 1 bad input or a file that cannot be read or written,\n"
    "2 wrong command line.\n";

}  // namespace

int RunCli(const std::vector<std::string>& args) {
    if (args.empty()) {
        WriteErr(kUsage);
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "-h" || command == "--help" || command == "help") {
        WriteOut(kUsage);
        return kExitOk;
    }
    if (command == "--version") {
        WriteOut("tabulon 2023.02.04\n");
        return kExitOk;
    }
    if (command == "convert") return RunConvert(std::vector<std::string>(args.begin() + 1, args.end()));
    if (command == "capture") return RunCapture(std::vector<std::string>(args.begin() + 1, args.end()));
    if (command == "preview") return RunPreview(std::vector<std::string>(args.begin() + 1, args.end()));
    WriteErr("tabulon: unknown command \"" + command + "\"\n\n");
    WriteErr(kUsage);
    return kExitUsage;
}

}  // namespace tabulon
