#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumaforge {

// How the scrapers' patterns run: PCRE2's interpreter, or its JIT-compiled code where the platform
// has the JIT (the interpreter otherwise).
enum class TRegexEngine : uint8_t { Interpreter, Jit };

// A compiled pattern over bytes (the pages are ANSI or UTF-8; every pattern is ASCII). CR, LF and CR LF
// count as line breaks. Immutable once made, so one pattern serves every thread.
class Regex {
public:
    // `caselessMultiline` ignores the case of letters and lets ^ and $ match at line breaks; without
    // it the pattern is case-sensitive. "." never matches a line break. A pattern that does not
    // compile is a programming error: std::invalid_argument.
    Regex(std::string_view pattern, bool caselessMultiline);
    ~Regex();
    Regex(const Regex&) = delete;
    Regex& operator=(const Regex&) = delete;

    bool HasJit() const;

private:
    friend class RegexMatcher;
    struct Code;
    std::unique_ptr<Code> code_;
};

// The matches of one scrape: the limits every match runs under, the JIT stack, the groups of the last
// match, and whether any match gave up at a limit. A match that gives up counts as no match, and so
// does every match after it; the caller decides what a page that hit a limit is worth.
class RegexMatcher {
public:
    // Backtracking steps one match may take, and the memory the interpreter may use for them: enough
    // for any result page we know by a wide margin, small enough that a hostile page ends in
    // milliseconds. The JIT counts the steps of a whole search; the interpreter counts them afresh at
    // every position where a match may start, so it also counts every step of the scrape against a
    // budget that grows with the page.
    static constexpr uint32_t kMatchLimit = 1'000'000;
    static constexpr uint32_t kHeapLimitKiB = 16 * 1024;
    static constexpr uint64_t kInterpreterBaseSteps = 100'000;
    static constexpr uint64_t kInterpreterStepsPerByte = 4;

    // `pageBytes`: the size of the page the scrape reads, for the interpreter's budget.
    explicit RegexMatcher(TRegexEngine engine, size_t pageBytes = 0);
    ~RegexMatcher();
    RegexMatcher(const RegexMatcher&) = delete;
    RegexMatcher& operator=(const RegexMatcher&) = delete;

    // The first non-empty match of `regex` in `subject` that starts at or after `offset`. The groups
    // then refer into `subject`, which must outlive their use.
    bool Find(const Regex& regex, std::string_view subject, size_t offset = 0);
    // Group n of the last match; empty when it took no part or there is no such group.
    std::string_view Group(int n) const;
    // Where the last match ends in its subject.
    size_t MatchEnd() const;

    // `subject` with every non-empty match replaced by `replacement`, in which a backslash and a digit
    // stand for that group. Nothing when a match gave up at a limit.
    std::optional<std::string> ReplaceAll(const Regex& regex, std::string_view subject, std::string_view replacement);

    bool LimitHit() const { return limitHit_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    TRegexEngine engine_;
    bool limitHit_ = false;
};

}  // namespace lumaforge
