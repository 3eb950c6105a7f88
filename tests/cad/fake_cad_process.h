// Starts a fake CAD program (tabulon_fake_bricscad.exe or tabulon_fake_autocad.exe,
// beside the running program) as a process of its own, waits until its windows
// exist, and stops it again. Each start gets a log file of its own in the temp
// folder, removed with the object.
//
// Beside each log, LOG.times holds two 64-bit performance-counter readings: when
// the first and the last input arrived.
//
// The logs hold UTF-16LE code values, no byte-order mark, written as they arrive
// (a test may read them while the fake runs):
// - the fake BricsCAD: every code value its command-line input control received
//   by WM_CHAR, one after another, so the log equals the typed text;
// - the fake AutoCAD: the bytes of every WM_COPYDATA with dwData 1, as sent, one
//   after another. A sender that includes the terminating zero leaves each text
//   followed by a zero; SplitAtZeros cuts them apart again.
//
// The options each fake takes are listed at the head of its source file.
//
// The fake starts on the calling thread's desktop. A test that gives itself a
// desktop of its own (CreateDesktopW, SetThreadDesktop) keeps its fakes out of
// sight of other programs in the same Wine prefix, and theirs out of its sight.
//
// Under Wine a class name, as other processes read it, is spelled as the program
// that first registered that name in any letter case, while that program runs:
// a fake BricsCAD's "RICHEDIT50W" reads as "RichEdit50W" while Wine's own rich
// edit is loaded anywhere in the prefix (GlobalFindAtomW tells).
#pragma once

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/test_programs.h"

namespace tabulon::test {

// The fakes, as built beside the test programs.
inline constexpr wchar_t kBricsCad[] = L"tabulon_fake_bricscad.exe";
inline constexpr wchar_t kAutoCad[] = L"tabulon_fake_autocad.exe";

class FakeCadProcess {
public:
    FakeCadProcess() : log_(TempFolder() + L"tabulon-fake-cad-" + program_.Tag() + L".log") {}
    FakeCadProcess(const FakeCadProcess&) = delete;
    FakeCadProcess& operator=(const FakeCadProcess&) = delete;
    ~FakeCadProcess() {
        Stop();
        DeleteFileW(log_.c_str());
        DeleteFileW((log_ + L".times").c_str());
    }

    // exeName as in the build's bin folder; args are added after the session
    // options. False when the program did not start or ended before it was ready.
    bool Start(const std::wstring& exeName, const std::wstring& args = L"") {
        return program_.Start(exeName, L"--log \"" + log_ + L"\" " + args);
    }

    // Asks the fake to quit and waits until it has, so its windows are gone; ends
    // it forcibly when it does not. False when it had to be forced or had crashed.
    bool Stop() {
        if (!program_.Started()) return true;
        const std::optional<DWORD> code = program_.Stop(30000);
        return code && *code == 0;
    }

    // What the fake received so far (see the head of this file).
    std::u16string ReadLog() const {
        std::ifstream in(log_.c_str(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::u16string text(bytes.size() / 2, u'\0');
        for (size_t k = 0; k < text.size(); ++k) {
            text[k] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                            static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
        }
        return text;
    }

    // The performance-counter readings at the first and the last input received,
    // comparable across processes; {0, 0} before any input.
    std::pair<long long, long long> InputSpan() const {
        long long span[2] = {0, 0};
        std::ifstream in((log_ + L".times").c_str(), std::ios::binary);
        in.read(reinterpret_cast<char*>(span), sizeof span);
        return in ? std::make_pair(span[0], span[1]) : std::make_pair(0LL, 0LL);
    }

    const std::wstring& LogPath() const { return log_; }
    DWORD ProcessId() const { return program_.ProcessId(); }

private:
    FakeProgram program_;  // first: the log is named after its tag
    std::wstring log_;
};

// The texts of an AutoCAD log, each cut at the zero that ended it. What follows
// the last zero (a text sent without one) is kept as a last piece.
inline std::vector<std::u16string> SplitAtZeros(std::u16string_view log) {
    std::vector<std::u16string> texts;
    while (!log.empty()) {
        const size_t zero = log.find(u'\0');
        texts.emplace_back(log.substr(0, zero));
        if (zero == std::u16string_view::npos) break;
        log.remove_prefix(zero + 1);
    }
    return texts;
}

}  // namespace tabulon::test
