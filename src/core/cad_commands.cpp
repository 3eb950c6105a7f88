// Typing commands into a running CAD application and reading its prompts.
#include "core/cad_commands.h"

#include <charconv>
#include <cmath>
#include <span>
#include <string>
#include <system_error>

#include "core/ascii.h"
#include "core/dxf_number.h"

namespace tabulon {
namespace {

constexpr std::u16string_view kIdlePrompt = u"コマンド: ";
constexpr std::u16string_view kCancelled = u"キャンセル";
constexpr std::u16string_view kPickMarker = u"_iD";
constexpr int kIdleReadingsToEnd = 2;
constexpr int kEmptyReadingsToAbort = 2;

std::u16string_view Trimmed(std::u16string_view text) {
    while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
    return text;
}

// The text strictly between the last `open` and the last `close`, trimmed, when
// the one comes before the other.
std::u16string BetweenLast(std::u16string_view text, char16_t open, char16_t close) {
    const size_t from = text.rfind(open);
    const size_t to = text.rfind(close);
    if (from == std::u16string_view::npos || to == std::u16string_view::npos || from >= to) return {};
    return std::u16string(Trimmed(text.substr(from + 1, to - from - 1)));
}

// A number as AutoCAD prints it: '.' as separator whatever our locale, since
// AutoCAD itself writes the point that way.
bool ToNumber(std::u16string_view text, double& value) {
    text = Trimmed(text);
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return false;
        ascii.push_back(static_cast<char>(c));
    }
    const char* begin = ascii.data();
    const char* end = begin + ascii.size();
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && *begin == '-') return false;
    }
    if (begin == end) return false;
    double parsed = 0;
    const auto [stop, error] = std::from_chars(begin, end, parsed);
    if (error != std::errc{} || stop != end || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

std::u16string Widened(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// Two cancels, then -INSERT of the file as separate entities ('*'), up to the
// insertion options.
std::u16string InsertStart(char16_t cancel, std::u16string_view path) {
    std::u16string text{cancel, cancel};
    text += u"-INSERT";
    text += kCadCr;
    text += u'*';
    text += path;
    text += kCadCr;
    return text;
}

bool SamePoint(const TAcadPoint& a, const TAcadPoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

std::u16string TextAfterLast(std::u16string_view marker, std::u16string_view text) {
    if (marker.empty()) return {};
    size_t at = text.find(marker);
    if (at == std::u16string_view::npos) return {};
    std::u16string_view rest = text.substr(at + marker.size());
    while (!rest.empty() && (at = rest.find(marker)) != std::u16string_view::npos) {
        rest = rest.substr(at + marker.size());
    }
    return std::u16string(Trimmed(rest));
}

bool ParseAcadPoint(std::u16string_view text, TAcadPoint& point) {
    point = TAcadPoint{};
    if (text.starts_with(u'"')) {
        text.remove_prefix(1);
        if (!text.empty()) text.remove_suffix(1);
    }
    const size_t firstComma = text.find(u',');
    if (firstComma == std::u16string_view::npos || firstComma == 0) return false;
    if (!ToNumber(text.substr(0, firstComma), point.x)) return false;
    const std::u16string_view rest = text.substr(firstComma + 1);
    const size_t secondComma = rest.find(u',');
    if (secondComma == std::u16string_view::npos || secondComma == 0) return ToNumber(rest, point.y);
    if (!ToNumber(rest.substr(0, secondComma), point.y)) return false;
    return ToNumber(rest.substr(secondComma + 1), point.z);
}

std::u16string BcadInsertCommand(std::u16string_view path) {
    std::u16string text = InsertStart(kCadEsc, path);
    text += u"S 1 R 0 ";
    return text;
}

std::u16string AcadInsertCommand(std::u16string_view path, double x, double y) {
    std::u16string text = InsertStart(kCadEtx, path);
    // '.' always: a locale comma would read as AutoCAD's coordinate separator.
    text += Widened(DxfNumber(x, '.'));
    text += u',';
    text += Widened(DxfNumber(y, '.'));
    text += kCadCr;
    text += u"1 0";
    text += kCadCr;
    return text;
}

bool CadCommands::SendBcadCommand(std::u16string_view text) {
    if (text.size() > kMaxCommandChars) return false;
    const WindowHandle input = windows_.FindBcadCommandLine();
    if (input == kNoWindow) return false;
    for (char16_t code : text) system_.SendChar(input, code);
    return true;
}

bool CadCommands::SendAcadCommand(std::u16string_view text) {
    if (text.size() > kMaxCommandChars) return false;
    windows_.FindAcadMainWindow();
    const WindowHandle main = windows_.Memory().AcadMainWnd;
    if (!system_.IsWindow(main)) return false;
    std::u16string buffer(text);
    buffer.push_back(u'\0');  // AutoCAD reads up to the zero, so it travels too
    system_.SendCopyData(main, 1, std::as_bytes(std::span<const char16_t>(buffer)));
    system_.PostNull(main);
    return true;
}

std::u16string CadCommands::GetControlText(WindowHandle window) {
    const std::int64_t length = system_.GetTextLength(window);
    if (length <= 0) return {};
    std::u16string text = system_.GetText(window, static_cast<size_t>(length) + 1);
    if (text.size() > static_cast<size_t>(length)) text.resize(static_cast<size_t>(length));
    const size_t zero = text.find(u'\0');
    if (zero != std::u16string::npos) text.resize(zero);
    return text;
}

std::u16string CadCommands::GetAcadPromptText() {
    windows_.FindAcadTextPanes();
    return GetControlText(windows_.Memory().AcadPromptPane);
}

std::u16string CadCommands::GetAcadHistoryText() {
    windows_.FindAcadTextPanes();
    return GetControlText(windows_.Memory().AcadHistoryPane);
}

int CadCommands::WaitAcadCommandEnd(std::u16string_view marker, int intervalMs, int timeoutSeconds) {
    const int interval = intervalMs > 0 ? intervalMs : 1;
    const long long polls = static_cast<long long>(timeoutSeconds) * 1000 / interval + 1;
    int idleReadings = 0;
    int emptyReadings = 0;
    int result = kCadFailed;
    for (long long poll = 0; poll < polls; ++poll) {
        system_.PumpMessages();
        system_.Sleep(static_cast<std::uint32_t>(interval));
        if (!windows_.IsAcadReady()) break;
        const std::u16string prompt = GetAcadPromptText();
        if (prompt == kIdlePrompt) {
            if (++idleReadings == kIdleReadingsToEnd) {
                result = kCadDone;
                break;
            }
        } else if (prompt.empty()) {
            // A pane read between two redraws can be empty; it does not undo idle readings.
            if (++emptyReadings == kEmptyReadingsToAbort) break;
        } else {
            idleReadings = 0;
        }
    }
    if (result == kCadDone && TextAfterLast(marker, GetAcadHistoryText()).find(kCancelled) != std::u16string::npos) {
        result = kCadCancelled;
    }
    return result;
}

std::u16string CadCommands::GetAcadSysVar(std::u16string_view name) {
    if (!system_.IsWindow(windows_.Memory().AcadMainWnd)) return {};
    std::u16string upper(name);
    for (char16_t& c : upper) c = AsciiUpper(c);
    // These two are read-only and refuse SETVAR; typed as commands they show their value.
    std::u16string query;
    if (upper != u"ACADVER" && upper != u"LAYERPMODE") query = u"'SETVAR ";
    query += name;
    query += kCadCr;
    SendAcadCommand(query);
    system_.Sleep(kSysVarQueryPauseMs);
    std::u16string value = BetweenLast(GetAcadPromptText(), u'<', u'>');
    SendAcadCommand(std::u16string(1, kCadEtx));
    if (value.empty()) value = BetweenLast(TextAfterLast(name, GetAcadHistoryText()), u'=', u'(');
    return value;
}

int CadCommands::PickAcadPoint(TAcadPoint& point) {
    point = TAcadPoint{};
    if (!windows_.ActivateAcad()) return kCadFailed;
    SendAcadCommand(std::u16string{kCadEtx, kCadEtx} + u"LASTPOINT 123,456,789 ");
    SendAcadCommand(std::u16string(kPickMarker) + kCadCr);
    const int waited = WaitAcadCommandEnd(kPickMarker, kPickPollIntervalMs, kPickTimeoutSeconds);
    if (waited != kCadDone) return waited;
    TAcadPoint picked;
    // An unreadable value is no pick: never insert at a point we did not read.
    if (!ParseAcadPoint(GetAcadSysVar(u"LASTPOINT"), picked)) return kCadCancelled;
    point = picked;
    return SamePoint(picked, kLastPointSentinel) ? kCadCancelled : kCadDone;
}

std::u16string TypablePath(DrawingPathProbe& probe, const std::u16string& path) {
    if (path.find(u' ') == std::u16string::npos) return path;
    std::u16string shortPath = probe.ShortPath(path);
    if (shortPath.find(u' ') != std::u16string::npos) return {};
    return shortPath;
}

InsertOutcome InsertDxfIntoCad(CadCommands& cad, DrawingPathProbe& probe, const std::u16string& path) {
    if (!probe.FileExists(path)) return InsertOutcome::FileMissing;
    const std::u16string typed = TypablePath(probe, path);
    if (typed.empty()) return InsertOutcome::PathWithBlank;

    CadWindows& windows = cad.Windows();
    WindowSystem& system = windows.System();

    const std::u16string bcadCommand = BcadInsertCommand(typed);
    if (bcadCommand.size() <= kMaxCommandChars && windows.ActivateBcad() &&
        system.IsEnabled(windows.Memory().BcadMainWnd)) {
        cad.SendBcadCommand(bcadCommand);
    }

    // Tried whatever BricsCAD did. When even the shortest coordinates cannot fit,
    // the user is not asked to pick a point for nothing.
    if (AcadInsertCommand(typed, 0, 0).size() <= kMaxCommandChars && windows.ActivateAcad() &&
        system.IsEnabled(windows.Memory().AcadMainWnd)) {
        TAcadPoint picked;
        if (cad.PickAcadPoint(picked) == kCadDone) cad.SendAcadCommand(AcadInsertCommand(typed, picked.x, picked.y));
    }
    return InsertOutcome::Attempted;
}

}  // namespace tabulon
