#include "core/IniFile.h"

#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <vector>

namespace core {
namespace {

namespace fs = std::filesystem;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

std::string_view Unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// One physical line: its text without the terminator, and the terminator itself.
struct Line {
    std::string text;
    std::string eol;
};

std::vector<Line> SplitLines(const std::string& data)
{
    std::vector<Line> lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t nl = data.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back({data.substr(start), ""});
            break;
        }
        size_t end = nl;
        std::string eol = "\n";
        if (end > start && data[end - 1] == '\r') {
            --end;
            eol = "\r\n";
        }
        lines.push_back({data.substr(start, end - start), eol});
        start = nl + 1;
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines)
{
    std::string out;
    for (const auto& l : lines)
        out += l.text + l.eol;
    return out;
}

bool Oversized(const fs::path& path)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return !ec && size > IniFile::MaxFileBytes;
}

std::optional<std::string> ReadAll(const fs::path& path)
{
    if (Oversized(path))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

// The section name of a header line, or nullopt for any other line. A header
// without its closing bracket still names a section, as the profile functions read it.
std::optional<std::string_view> SectionName(std::string_view text, bool firstLine)
{
    if (firstLine && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    text = Trim(text);
    if (text.empty() || text.front() != '[')
        return std::nullopt;
    text.remove_prefix(1);
    size_t close = text.find(']');
    if (close != std::string_view::npos)
        text = text.substr(0, close);
    return Trim(text);
}

// Key and raw value of a "key=value" line.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view text)
{
    size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return std::make_pair(Trim(text.substr(0, eq)), text.substr(eq + 1));
}

// Where a section's lines are in a file.
struct SectionSpan {
    size_t header = 0;      // index of the header line
    size_t lastContent = 0; // last non-blank line of the section (the header when empty)
    size_t end = 0;         // one past the section's last line
};

std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        auto name = SectionName(lines[i].text, i == 0);
        if (!name || !SameName(*name, section))
            continue;
        SectionSpan span{i, i, lines.size()};
        for (size_t j = i + 1; j < lines.size(); ++j) {
            if (SectionName(lines[j].text, false)) {
                span.end = j;
                break;
            }
            if (!Trim(lines[j].text).empty())
                span.lastContent = j;
        }
        return span;
    }
    return std::nullopt;
}

// Read-only by its mode (which binds root too), or not writable for this user. The
// replace by rename only needs the directory, so it would otherwise swap in a new file
// over one the user may not change.
bool IsReadOnly(const fs::path& path)
{
    std::error_code ec;
    auto st = fs::status(path, ec);
    if (ec || !fs::exists(st))
        return false;
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
        return true;
    return !std::ofstream(path, std::ios::binary | std::ios::app).is_open();
}

// The replacement without the application's: not synced to disk.
bool ReplaceUnsynced(const fs::path& path, const std::string& data)
{
    std::random_device rd;
    fs::path tmp = path;
    tmp += ".tmp-" + std::to_string(100000 + rd() % 900000);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(data.data(), std::streamsize(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ec;
            fs::remove(tmp, ec);
            return false;
        }
    }
    std::error_code ec;
    auto perms = fs::status(path, ec).permissions();
    if (!ec && fs::exists(path))
        fs::permissions(tmp, perms, ec);
    fs::rename(tmp, path, ec);
    if (ec) {
        fs::remove(tmp, ec);
        return false;
    }
    return true;
}

std::mutex replacerMutex;
IniFile::TReplacer& Replacer()
{
    static IniFile::TReplacer replacer;
    return replacer;
}

bool ReplaceAtomically(const fs::path& path, const std::string& data)
{
    IniFile::TReplacer replace;
    {
        std::lock_guard lock(replacerMutex);
        replace = Replacer();
    }
    return replace ? replace(path, data) : ReplaceUnsynced(path, data);
}

// Sets `key` of `section` in `lines`; new lines take the file's first line break.
void SetValue(std::vector<Line>& lines, std::string_view section, std::string_view key,
              std::string_view value)
{
    std::string eol = "\n";
    for (const auto& l : lines)
        if (!l.eol.empty()) {
            eol = l.eol;
            break;
        }

    auto span = FindSection(lines, section);
    if (span) {
        for (size_t i = span->header + 1; i < span->end; ++i) {
            auto kv = KeyValue(lines[i].text);
            if (kv && SameName(kv->first, key)) {
                // Keep everything up to and including '=' as it was.
                size_t eq = lines[i].text.find('=');
                lines[i].text = lines[i].text.substr(0, eq + 1) + std::string(value);
                return;
            }
        }
        // New key after the section's last non-blank line.
        size_t at = span->lastContent;
        if (lines[at].eol.empty())
            lines[at].eol = eol;
        lines.insert(lines.begin() + std::ptrdiff_t(at + 1),
                     Line{std::string(key) + "=" + std::string(value), eol});
    } else {
        if (!lines.empty() && lines.back().eol.empty())
            lines.back().eol = eol;
        lines.push_back({"[" + std::string(section) + "]", eol});
        lines.push_back({std::string(key) + "=" + std::string(value), eol});
    }
}

// Reads the file (a missing one is empty), lets `edit` change its lines and replaces it
// with the result in one go.
bool RewriteFile(const fs::path& path, const std::function<void(std::vector<Line>&)>& edit)
{
    if (IsReadOnly(path))
        return false;
    std::string data;
    if (fs::exists(path)) {
        auto existing = ReadAll(path);
        if (!existing)
            return false;
        data = std::move(*existing);
    }
    auto lines = SplitLines(data);
    edit(lines);
    return ReplaceAtomically(path, JoinLines(lines));
}

} // namespace

void IniFile::SetReplacer(TReplacer replacer)
{
    std::lock_guard lock(replacerMutex);
    Replacer() = std::move(replacer);
}

std::optional<std::int64_t> ParseDecimal(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    bool negative = false;
    size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::uint64_t value = 0;
    const std::uint64_t limit = negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX);
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        std::uint64_t digit = std::uint64_t(c - '0');
        if (value > (limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (negative)
        return value == std::uint64_t(INT64_MAX) + 1 ? INT64_MIN : -std::int64_t(value);
    return std::int64_t(value);
}

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const
{
    auto data = ReadAll(path_);
    if (!data)
        return std::nullopt;
    auto lines = SplitLines(*data);
    auto span = FindSection(lines, section);
    if (!span)
        return std::nullopt;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        auto kv = KeyValue(lines[i].text);
        if (kv && SameName(kv->first, key))
            return std::string(Unquote(Trim(kv->second)));
    }
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const
{
    auto value = Find(section, key);
    return value ? *value : std::string(def);
}

std::int64_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int64_t def) const
{
    auto value = Find(section, key);
    if (!value)
        return def;
    return ParseDecimal(*value).value_or(def);
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    return RewriteFile(path_,
                       [&](std::vector<Line>& lines) { SetValue(lines, section, key, value); });
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, std::int64_t value)
{
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteIntegers(std::string_view section, std::initializer_list<TIntegerValue> values)
{
    return RewriteFile(path_, [&](std::vector<Line>& lines) {
        for (const auto& [key, value] : values)
            SetValue(lines, section, key, std::to_string(value));
    });
}

} // namespace core
