#include "LangWildcard.h"

#include <vector>

namespace {

constexpr QChar kAnyRun = u'*';
constexpr QChar kAnyOne = u'?';

bool IsWildcard(QChar c)
{
    return c == kAnyRun || c == kAnyOne;
}

bool SameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

// Positions of the wildcards of a text.
std::vector<qsizetype> WildcardPositions(const QString &text)
{
    std::vector<qsizetype> positions;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsWildcard(text.at(i)))
            positions.push_back(i);
    }
    return positions;
}

struct TCapture
{
    qsizetype start;
    qsizetype length;
};

// Matches with a table of which pattern prefixes match which text prefixes,
// then walks back from the end so that right-hand "*" take the shortest text.
// Returns false when the text does not match.
bool MatchCaptures(const QString &pattern, const QString &text, std::vector<TCapture> &captures)
{
    const qsizetype p = pattern.size();
    const qsizetype t = text.size();
    const qsizetype width = t + 1;
    std::vector<bool> reach(static_cast<size_t>((p + 1) * width), false);
    auto at = [&](qsizetype i, qsizetype j) { return reach[static_cast<size_t>(i * width + j)]; };
    auto set = [&](qsizetype i, qsizetype j) { reach[static_cast<size_t>(i * width + j)] = true; };

    set(0, 0);
    for (qsizetype i = 1; i <= p; ++i) {
        const QChar pc = pattern.at(i - 1);
        for (qsizetype j = 0; j <= t; ++j) {
            bool ok = false;
            if (pc == kAnyRun)
                ok = at(i - 1, j) || (j > 0 && at(i, j - 1));
            else if (j > 0)
                ok = at(i - 1, j - 1) && (pc == kAnyOne || SameLetter(pc, text.at(j - 1)));
            if (ok)
                set(i, j);
        }
    }
    if (!at(p, t))
        return false;

    captures.clear();
    qsizetype j = t;
    for (qsizetype i = p; i > 0; --i) {
        const QChar pc = pattern.at(i - 1);
        if (pc == kAnyRun) {
            qsizetype start = j;
            while (!at(i - 1, start))
                --start;
            captures.push_back({start, j - start});
            j = start;
        } else {
            --j;
            if (pc == kAnyOne)
                captures.push_back({j, 1});
        }
    }
    std::vector<TCapture> leftToRight(captures.rbegin(), captures.rend());
    captures.swap(leftToRight);
    return true;
}

} // namespace

bool WildcardMatch(const QString &pattern, const QString &text)
{
    // Two cursors; on a mismatch the most recent "*" takes one more character.
    // Only the latest "*" needs revisiting, which bounds the work by
    // pattern length × text length.
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype starAt = -1;
    qsizetype starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern.at(p) == kAnyRun) {
            starAt = p++;
            starText = t;
        } else if (p < pattern.size() && (pattern.at(p) == kAnyOne || SameLetter(pattern.at(p), text.at(t)))) {
            ++p;
            ++t;
        } else if (starAt >= 0) {
            p = starAt + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == kAnyRun)
        ++p;
    return p == pattern.size();
}

bool TranslateByPattern(const QString &pattern, const QString &translation,
                        const QString &message, QString &result)
{
    if (!WildcardMatch(pattern, message))
        return false;
    const std::vector<qsizetype> holes = WildcardPositions(translation);
    if (holes.empty()) {
        result = translation;
        return true;
    }
    std::vector<TCapture> captures;
    if (!MatchCaptures(pattern, message, captures))
        return false;

    QString out;
    qsizetype tailEnd = translation.size();
    auto capture = captures.rbegin();
    for (auto hole = holes.rbegin(); hole != holes.rend(); ++hole) {
        out.prepend(translation.mid(*hole + 1, tailEnd - *hole - 1));
        tailEnd = *hole;
        const bool firstHole = (hole + 1 == holes.rend());
        if (capture == captures.rend())
            continue;
        qsizetype start = capture->start;
        const qsizetype end = capture->start + capture->length;
        // The translation's first wildcard also takes what the pattern's
        // unpaired wildcards matched, up to the pattern's literal head.
        if (firstHole && capture + 1 != captures.rend()) {
            const std::vector<qsizetype> patternWildcards = WildcardPositions(pattern);
            start = patternWildcards.front();
        }
        out.prepend(message.mid(start, end - start));
        ++capture;
    }
    out.prepend(translation.left(tailEnd));
    result = out;
    return true;
}
