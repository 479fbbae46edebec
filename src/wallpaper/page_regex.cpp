#include "wallpaper/page_regex.h"

#include <stdexcept>

#ifdef _WIN32
#define PCRE2_STATIC
#endif
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace lumaforge {
namespace {
template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using CompileContext =
    std::unique_ptr<pcre2_compile_context, Deleter<pcre2_compile_context, pcre2_compile_context_free>>;
using UniqueCode = std::unique_ptr<pcre2_code, Deleter<pcre2_code, pcre2_code_free>>;
using MatchContext = std::unique_ptr<pcre2_match_context, Deleter<pcre2_match_context, pcre2_match_context_free>>;
using MatchData = std::unique_ptr<pcre2_match_data, Deleter<pcre2_match_data, pcre2_match_data_free>>;
using JitStack = std::unique_ptr<pcre2_jit_stack, Deleter<pcre2_jit_stack, pcre2_jit_stack_free>>;

// The scrapers' patterns have at most two groups; the room for a few more costs nothing.
constexpr uint32_t kGroupSlots = 8;

// The interpreter's steps in one scrape, counted by the callouts of the counted patterns.
struct StepCount {
    uint64_t steps = 0;
    uint64_t budget = 0;
};

int CountStep(pcre2_callout_block*, void* data) {
    StepCount& count = *static_cast<StepCount*>(data);
    return ++count.steps > count.budget ? PCRE2_ERROR_MATCHLIMIT : 0;
}

PCRE2_SPTR Bytes(std::string_view text) {
    // PCRE2 wants a pointer even for an empty subject.
    return reinterpret_cast<PCRE2_SPTR>(text.data() ? text.data() : "");
}
}  // namespace

struct Regex::Code {
    UniqueCode code;
    // The same pattern with a callout before every item, for the interpreter, whose own limit cannot
    // see the steps spent at earlier start positions: the callouts count them.
    UniqueCode counted;
    bool jit = false;
};

Regex::Regex(std::string_view pattern, bool caselessMultiline) : code_(std::make_unique<Code>()) {
    CompileContext context(pcre2_compile_context_create(nullptr));
    if (!context)
        throw std::bad_alloc();
    // CR, LF and CR LF only: with PCRE2's wider "any" a NEL byte (0x85) would end a line too, and that
    // byte is common inside UTF-8 and GBK characters.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    const uint32_t options = caselessMultiline ? PCRE2_CASELESS | PCRE2_MULTILINE : 0;
    code_->code.reset(pcre2_compile(Bytes(pattern), pattern.size(), options, &error, &errorOffset, context.get()));
    if (code_->code)
        code_->counted.reset(pcre2_compile(Bytes(pattern), pattern.size(), options | PCRE2_AUTO_CALLOUT, &error,
                                           &errorOffset, context.get()));
    if (!code_->code || !code_->counted) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(error, message, sizeof message);
        throw std::invalid_argument(std::string(reinterpret_cast<const char*>(message)) + " at " +
                                    std::to_string(errorOffset) + " in " + std::string(pattern));
    }
    // Without JIT support in the library the interpreter does all the work.
    code_->jit = pcre2_jit_compile(code_->code.get(), PCRE2_JIT_COMPLETE) == 0;
}

Regex::~Regex() = default;

bool Regex::HasJit() const {
    return code_->jit;
}

struct RegexMatcher::State {
    MatchContext context{pcre2_match_context_create(nullptr)};
    // The JIT keeps its backtracking on a stack of its own; 32 KiB of the machine stack by default.
    JitStack jitStack{pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr)};
    MatchData data{pcre2_match_data_create(kGroupSlots, nullptr)};
    std::string_view subject;
    // The groups the last match set, the whole match included; 0 when it failed. Slots beyond these
    // hold whatever an earlier match left.
    uint32_t setGroups = 0;
    bool gaveUp = false;  // the last match stopped at a limit
    StepCount interpreterSteps;
};

RegexMatcher::RegexMatcher(TRegexEngine engine, size_t pageBytes) : state_(std::make_unique<State>()), engine_(engine) {
    if (!state_->context || !state_->data)
        throw std::bad_alloc();
    state_->interpreterSteps.budget =
        kInterpreterBaseSteps + kInterpreterStepsPerByte * static_cast<uint64_t>(pageBytes);
    pcre2_set_match_limit(state_->context.get(), kMatchLimit);
    pcre2_set_heap_limit(state_->context.get(), kHeapLimitKiB);
    pcre2_set_callout(state_->context.get(), CountStep, &state_->interpreterSteps);
    if (state_->jitStack)
        pcre2_jit_stack_assign(state_->context.get(), nullptr, state_->jitStack.get());
}

RegexMatcher::~RegexMatcher() = default;

bool RegexMatcher::Find(const Regex& regex, std::string_view subject, size_t offset) {
    State& s = *state_;
    s.subject = subject;
    s.setGroups = 0;
    s.gaveUp = false;
    // After a limit, the page is lost anyway: more matches would only spend more time.
    if (limitHit_) {
        s.gaveUp = true;
        return false;
    }
    if (offset > subject.size())
        return false;
    const bool interpret = engine_ == TRegexEngine::Interpreter || !regex.code_->jit;
    const pcre2_code* code = interpret ? regex.code_->counted.get() : regex.code_->code.get();
    const uint32_t options = PCRE2_NOTEMPTY | (interpret ? PCRE2_NO_JIT : 0);
    const int rc = pcre2_match(code, Bytes(subject), subject.size(), offset, options, s.data.get(), s.context.get());
    switch (rc) {
        case PCRE2_ERROR_MATCHLIMIT:
        case PCRE2_ERROR_HEAPLIMIT:
        case PCRE2_ERROR_DEPTHLIMIT:
        case PCRE2_ERROR_JIT_STACKLIMIT:
        case PCRE2_ERROR_NOMEMORY:
            s.gaveUp = limitHit_ = true;
            return false;
        default:
            // A negative result is no match; 0 cannot happen, since there are enough slots for every group.
            s.setGroups = rc > 0 ? static_cast<uint32_t>(rc) : 0;
            return rc > 0;
    }
}

std::string_view RegexMatcher::Group(int n) const {
    const State& s = *state_;
    if (n < 0 || static_cast<uint32_t>(n) >= s.setGroups)
        return {};
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(s.data.get());
    const PCRE2_SIZE start = ovector[2 * n], end = ovector[2 * n + 1];
    if (start == PCRE2_UNSET || end < start)
        return {};
    return s.subject.substr(start, end - start);
}

size_t RegexMatcher::MatchEnd() const {
    return state_->setGroups > 0 ? pcre2_get_ovector_pointer(state_->data.get())[1] : 0;
}

std::optional<std::string> RegexMatcher::ReplaceAll(const Regex& regex, std::string_view subject,
                                                    std::string_view replacement) {
    std::string out;
    size_t copied = 0;
    for (size_t offset = 0; Find(regex, subject, offset); offset = MatchEnd()) {
        const PCRE2_SIZE matchStart = pcre2_get_ovector_pointer(state_->data.get())[0];
        out.append(subject.substr(copied, matchStart - copied));
        for (size_t i = 0; i < replacement.size(); ++i) {
            if (replacement[i] == '\\' && i + 1 < replacement.size() && replacement[i + 1] >= '0' &&
                replacement[i + 1] <= '9') {
                out.append(Group(replacement[++i] - '0'));
            } else {
                out += replacement[i];
            }
        }
        copied = MatchEnd();
    }
    if (state_->gaveUp)
        return std::nullopt;
    out.append(subject.substr(copied));
    return out;
}

}  // namespace lumaforge
