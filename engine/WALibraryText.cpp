#include "WALibraryText.h"

#include "TextTrim.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kTitleMark = "[T]";
constexpr std::string_view kCommaToken = kWACommaToken;
constexpr char kCommentMark = ';';
// "[T]" counts from the line's 2nd to its 4th byte: up to two bytes of
// decoration between the semicolon and the mark.
constexpr std::size_t kFirstTitleMark = 1;
constexpr std::size_t kLastTitleMark = 3;
// The source holds at least one double-byte character.
constexpr std::size_t kFirstComma = 2;

// The lines of a file: cut at each CR LF; a last line without one counts,
// a CR LF at the very end opens no empty line.
std::vector<std::string_view> SplitLines(std::string_view content)
{
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < content.size();) {
        std::size_t end = content.find(kLineEnd, from);
        if (end == std::string_view::npos)
            end = content.size();
        lines.push_back(content.substr(from, end - from));
        from = end + kLineEnd.size();
    }
    return lines;
}

bool IsComment(std::string_view line)
{
    return !line.empty() && line.front() == kCommentMark;
}

// The title of a title line, or false when `line` is none.
bool ReadTitle(std::string_view line, std::string& title)
{
    if (!IsComment(line))
        return false;
    for (std::size_t at = kFirstTitleMark; at <= kLastTitleMark; ++at) {
        if (line.size() < at + kTitleMark.size())
            return false;
        if (line.substr(at, kTitleMark.size()) != kTitleMark)
            continue;
        title.assign(line.substr(at + kTitleMark.size()));
        TrimBlank(title);
        return true;
    }
    return false;
}

// Title and description of a user library; returns the index of the first
// line behind them.
std::size_t ReadHeading(const std::vector<std::string_view>& lines, WALibrary& lib)
{
    lib.m_strTitle.clear();
    lib.m_strDescription.clear();
    const std::size_t first = !lines.empty() && ReadTitle(lines.front(), lib.m_strTitle) ? 1 : 0;
    std::size_t next = first;
    for (; next < lines.size() && IsComment(lines[next]); ++next) {
        if (next > first)
            lib.m_strDescription.append(kLineEnd);
        lib.m_strDescription.append(lines[next].substr(1));
    }
    TrimBlank(lib.m_strDescription);
    return next;
}

// The source as written (trimmed, the comma token still in it) and the target
// of a pair line, or false when the line holds no pair.
bool ReadPair(std::string_view line, std::string& source, std::string& target)
{
    if (IsComment(line) || line.find('\0') != std::string_view::npos)
        return false;
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos || comma < kFirstComma || comma + 1 >= line.size())
        return false;
    source.assign(line.substr(0, comma));
    TrimBlank(source);
    if (source.empty())
        return false;
    target.assign(line.substr(comma + 1));
    TrimBlank(target);
    return true;
}

std::string ReplaceCommaToken(const std::string& text)
{
    std::size_t at = text.find(kCommaToken);
    if (at == std::string::npos)
        return text;
    std::string replaced;
    replaced.reserve(text.size());
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find(kCommaToken, from)) {
        replaced.append(text, from, at - from).push_back(',');
        from = at + kCommaToken.size();
    }
    return replaced.append(text, from, std::string::npos);
}

}  // namespace

void ParseWALibraryText(WALibrary& lib, const std::string& strContent, bool bUserLibrary, bool bReadPairs)
{
    lib.ClearPairs();
    const std::vector<std::string_view> lines = SplitLines(strContent);
    const std::size_t first = bUserLibrary ? ReadHeading(lines, lib) : 0;
    if (!bReadPairs)
        return;

    std::vector<std::string> written, targets;
    std::string source, target;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (!ReadPair(lines[i], source, target))
            continue;
        written.push_back(std::move(source));
        targets.push_back(std::move(target));
    }

    // Each pair goes behind every stored source that is not greater than its
    // own, as written: ascending byte order, equal sources in file order.
    // std::string compares as unsigned bytes.
    std::vector<std::size_t> order(written.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return written[a] < written[b]; });
    lib.m_arrSources.reserve(order.size());
    lib.m_arrTargets.reserve(order.size());
    for (std::size_t i : order) {
        lib.m_arrSources.push_back(ReplaceCommaToken(written[i]));
        lib.m_arrTargets.push_back(ReplaceCommaToken(targets[i]));
    }
}
