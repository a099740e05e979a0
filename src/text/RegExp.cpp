#include "text/RegExp.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QHash>

#include <chrono>

#include <utility>

namespace sorvane {

namespace {

// Backtracking steps allowed from one start position; a pattern that needs
// more is reported instead of freezing the user-interface thread.
constexpr uint32_t kMatchLimit = 5'000'000;
// The steps from one start position are bounded, but not their sum over
// every position of a long text: one call as a whole may take this long.
constexpr std::chrono::milliseconds kCallLimit{10000};
constexpr uint32_t kDepthLimit = 100'000;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 4 * 1024 * 1024;
constexpr int kCacheCapacity = 256;

// ECMAScript white space and line terminators, as class ranges.
const QString kSpaceRanges = QStringLiteral(
    "\\u0009-\\u000D\\u0020\\u00A0\\u1680\\u2000-\\u200A\\u2028\\u2029\\u202F\\u205F\\u3000\\uFEFF");
// Everything else up to U+FFFF (code units: the engine runs without UTF).
const QString kNonSpaceRanges = QStringLiteral(
    "\\u0000-\\u0008\\u000E-\\u001F\\u0021-\\u009F\\u00A1-\\u167F\\u1681-\\u1FFF\\u200B-\\u2027"
    "\\u202A-\\u202E\\u2030-\\u205E\\u2060-\\u2FFF\\u3001-\\uFEFE\\uFF00-\\uFFFF");
const QString kDigitRanges = QStringLiteral("0-9");
const QString kNonDigitRanges = QStringLiteral("\\u0000-\\u002F\\u003A-\\uFFFF");
const QString kWordRanges = QStringLiteral("0-9A-Za-z_");
const QString kNonWordRanges =
    QStringLiteral("\\u0000-\\u002F\\u003A-\\u0040\\u005B-\\u005E\\u0060\\u007B-\\uFFFF");
const QString kWordBoundary =
    QStringLiteral("(?:(?<=[0-9A-Za-z_])(?![0-9A-Za-z_])|(?<![0-9A-Za-z_])(?=[0-9A-Za-z_]))");
const QString kNotWordBoundary =
    QStringLiteral("(?:(?<=[0-9A-Za-z_])(?=[0-9A-Za-z_])|(?<![0-9A-Za-z_])(?![0-9A-Za-z_]))");
const QString kLineStart = QStringLiteral("(?:^|(?<=[\\n\\r\\u2028\\u2029]))");
const QString kLineEnd = QStringLiteral("(?=[\\n\\r\\u2028\\u2029]|$)");

// Escapes whose letter keeps its meaning when handed to PCRE2 unchanged.
bool keepsMeaning(QChar letter, bool inClass)
{
    switch (letter.unicode()) {
    case 'f': case 'n': case 'r': case 't': case 'u': case 'x': case 'c':
        return true;
    case 'b':
        return inClass; // backspace inside a class; a word boundary outside is rewritten
    default:
        return false;
    }
}

bool isAsciiLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}

struct CacheKey {
    QString pattern;
    unsigned options;
    bool operator==(const CacheKey &) const = default;
};
size_t qHash(const CacheKey &key, size_t seed) { return qHash(key.pattern, seed) ^ key.options; }

} // namespace

struct RegExp::Compiled {
    QString pattern;
    unsigned options = 0;
    pcre2_code_16 *code = nullptr;
    int groups = 0;

    ~Compiled() { pcre2_code_free_16(code); }
};

namespace {

// Per-thread match resources: a match context with the limits and a JIT
// stack, and match data large enough for the pattern at hand.
struct MatchResources {
    // When the call under way must give up; looked at by the callout that
    // starts every pattern, once per start position.
    std::chrono::milliseconds deadline{0};
    std::chrono::milliseconds limit = kCallLimit;
    RegExp::Now now;
    pcre2_match_context_16 *context = nullptr;
    pcre2_jit_stack_16 *jitStack = nullptr;
    pcre2_match_data_16 *data = nullptr;
    uint32_t pairs = 0;

    MatchResources()
    {
        context = pcre2_match_context_create_16(nullptr);
        pcre2_set_match_limit_16(context, kMatchLimit);
        pcre2_set_depth_limit_16(context, kDepthLimit);
        pcre2_set_callout_16(context, &MatchResources::atStartPosition, this);
        jitStack = pcre2_jit_stack_create_16(kJitStackStart, kJitStackMax, nullptr);
        if (jitStack)
            pcre2_jit_stack_assign_16(context, nullptr, jitStack);
    }
    ~MatchResources()
    {
        pcre2_match_data_free_16(data);
        pcre2_jit_stack_free_16(jitStack);
        pcre2_match_context_free_16(context);
    }
    std::chrono::milliseconds currentTime() const
    {
        if (now)
            return now();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void startCall() { deadline = currentTime() + limit; }
    static int atStartPosition(pcre2_callout_block_16 *, void *data)
    {
        const auto *self = static_cast<const MatchResources *>(data);
        return self->currentTime() >= self->deadline ? PCRE2_ERROR_CALLOUT : 0;
    }
    pcre2_match_data_16 *dataFor(int groups)
    {
        const uint32_t needed = uint32_t(groups) + 1;
        if (!data || pairs < needed) {
            pcre2_match_data_free_16(data);
            pairs = std::max<uint32_t>(needed, 16);
            data = pcre2_match_data_create_16(pairs, nullptr);
        }
        return data;
    }
};

MatchResources &matchResources()
{
    thread_local MatchResources resources;
    return resources;
}

std::shared_ptr<const RegExp::Compiled> compileUncached(const QString &pattern, unsigned options)
{
    const QString translated = RegExp::translate(pattern, options & RegExp::Multiline);
    uint32_t flags = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF |
                     PCRE2_UCP;
    if (options & RegExp::IgnoreCase)
        flags |= PCRE2_CASELESS;

    struct ContextDeleter {
        void operator()(pcre2_compile_context_16 *c) const { pcre2_compile_context_free_16(c); }
    };
    thread_local const std::unique_ptr<pcre2_compile_context_16, ContextDeleter> context = [] {
        pcre2_compile_context_16 *c = pcre2_compile_context_create_16(nullptr);
        pcre2_set_newline_16(c, PCRE2_NEWLINE_LF);
        return std::unique_ptr<pcre2_compile_context_16, ContextDeleter>(c);
    }();

    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const auto compileText = [&](const QString &text) {
        return pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(text.utf16()), PCRE2_SIZE(text.size()), flags,
                                &errorCode, &errorOffset, context.get());
    };
    // The pattern is valid as it stands; it then runs behind a callout, met
    // at every start position, that ends the call once its time is up.
    pcre2_code_16 *plain = compileText(translated);
    if (!plain)
        return nullptr;
    pcre2_code_free_16(plain);
    pcre2_code_16 *code = compileText(QStringLiteral("(?C1)(?:") + translated + QLatin1Char(')'));
    if (!code)
        return nullptr;
    pcre2_jit_compile_16(code, PCRE2_JIT_COMPLETE); // without JIT the interpreter serves
    auto compiled = std::make_shared<RegExp::Compiled>();
    compiled->pattern = pattern;
    compiled->options = options;
    compiled->code = code;
    uint32_t groups = 0;
    pcre2_pattern_info_16(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    compiled->groups = int(groups);
    return compiled;
}

} // namespace

QString RegExp::translate(const QString &pattern, bool multiline)
{
    QString out;
    out.reserve(pattern.size() + 16);
    bool inClass = false;
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\')) {
            if (i + 1 >= n) {
                out += c; // a trailing backslash is the engine's syntax error
                continue;
            }
            const QChar e = pattern[++i];
            const QString *ranges = nullptr;
            switch (e.unicode()) {
            case 's': ranges = &kSpaceRanges; break;
            case 'S': ranges = &kNonSpaceRanges; break;
            case 'd': ranges = &kDigitRanges; break;
            case 'D': ranges = &kNonDigitRanges; break;
            case 'w': ranges = &kWordRanges; break;
            case 'W': ranges = &kNonWordRanges; break;
            default: break;
            }
            if (ranges) {
                if (inClass)
                    out += *ranges;
                else
                    out += QLatin1Char('[') + *ranges + QLatin1Char(']');
            } else if (e == QLatin1Char('v')) {
                out += QLatin1String("\\x0B");
            } else if (!inClass && e == QLatin1Char('b')) {
                out += kWordBoundary;
            } else if (!inClass && e == QLatin1Char('B')) {
                out += kNotWordBoundary;
            } else if (isAsciiLetter(e) && !keepsMeaning(e, inClass)) {
                out += e; // an identity escape: the letter itself
            } else {
                out += c;
                out += e;
            }
            continue;
        }
        if (inClass) {
            if (c == QLatin1Char(']')) {
                inClass = false;
                out += c;
            } else if (c == QLatin1Char('[')) {
                out += QLatin1String("\\["); // never the start of a POSIX class name
            } else {
                out += c;
            }
            continue;
        }
        if (c == QLatin1Char('[')) {
            inClass = true;
            out += c;
            if (i + 1 < n && pattern[i + 1] == QLatin1Char('^'))
                out += pattern[++i];
            // "[]" and "[^]" are the empty class and any character, as the
            // engine reads them with ALLOW_EMPTY_CLASS: no special case here.
        } else if (multiline && c == QLatin1Char('^')) {
            out += kLineStart;
        } else if (multiline && c == QLatin1Char('$')) {
            out += kLineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

Result<RegExp> RegExp::compile(const QString &pattern, unsigned options)
{
    options &= IgnoreCase | Multiline;
    thread_local QHash<CacheKey, std::shared_ptr<const Compiled>> cache;
    const CacheKey key{pattern, options};
    const auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return RegExp(found.value());
    std::shared_ptr<const Compiled> compiled = compileUncached(pattern, options);
    if (!compiled)
        return scriptError(ErrorNumber::RegExpSyntaxError);
    if (cache.size() >= kCacheCapacity)
        cache.clear();
    cache.insert(key, compiled);
    return RegExp(std::move(compiled));
}

const QString &RegExp::pattern() const { return m_compiled->pattern; }
unsigned RegExp::options() const { return m_compiled->options; }
int RegExp::groupCount() const { return m_compiled->groups; }

QString RegExp::Match::group(const QString &subject, int n) const
{
    if (n < 1 || n > groups.size() || !groups[n - 1].matched())
        return QString();
    return subject.mid(groups[n - 1].start, groups[n - 1].length);
}

void RegExp::setCallLimit(std::chrono::milliseconds limit, Now now)
{
    MatchResources &resources = matchResources();
    resources.limit = limit;
    resources.now = std::move(now);
}

void RegExp::resetCallLimit()
{
    setCallLimit(kCallLimit, {});
}

Result<std::optional<RegExp::Match>> RegExp::match(const QString &subject, qsizetype from) const
{
    matchResources().startCall();
    return matchFrom(subject, from);
}

Result<std::optional<RegExp::Match>> RegExp::matchFrom(const QString &subject, qsizetype from) const
{
    if (from < 0 || from > subject.size())
        return std::optional<Match>();
    MatchResources &resources = matchResources();
    pcre2_match_data_16 *data = resources.dataFor(m_compiled->groups);
    const int rc = pcre2_match_16(m_compiled->code, reinterpret_cast<PCRE2_SPTR16>(subject.utf16()),
                                  PCRE2_SIZE(subject.size()), PCRE2_SIZE(from), 0, data, resources.context);
    if (rc == PCRE2_ERROR_NOMATCH)
        return std::optional<Match>();
    if (rc < 0) {
        // Match, depth, heap or JIT stack limit, or the call's time is up:
        // the pattern is too costly here.
        return scriptError(ErrorNumber::OutOfStackSpace);
    }
    const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer_16(data);
    Match m;
    m.whole = {qsizetype(ovector[0]), qsizetype(ovector[1] - ovector[0])};
    m.groups.resize(m_compiled->groups);
    for (int g = 1; g <= m_compiled->groups; ++g) {
        const PCRE2_SIZE s = ovector[2 * g], e = ovector[2 * g + 1];
        if (g < rc && s != PCRE2_UNSET)
            m.groups[g - 1] = {qsizetype(s), qsizetype(e - s)};
    }
    return std::optional<Match>(std::move(m));
}

Result<bool> RegExp::test(const QString &subject) const
{
    std::optional<Match> m = TRY(match(subject));
    return m.has_value();
}

Result<QVector<RegExp::Match>> RegExp::matches(const QString &subject, bool global) const
{
    matchResources().startCall();
    QVector<Match> all;
    qsizetype from = 0;
    while (from <= subject.size()) {
        std::optional<Match> m = TRY(matchFrom(subject, from));
        if (!m.has_value())
            break;
        const Span whole = m->whole;
        all.append(std::move(*m));
        if (!global)
            break;
        from = whole.length == 0 ? whole.end() + 1 : whole.end();
    }
    return all;
}

QString RegExp::expandReplacement(const QString &replacement, const QString &subject, const Match &m)
{
    const qsizetype dollar = replacement.indexOf(QLatin1Char('$'));
    if (dollar < 0)
        return replacement;
    QString out = replacement.left(dollar);
    const qsizetype n = replacement.size();
    for (qsizetype i = dollar; i < n; ++i) {
        const QChar c = replacement[i];
        if (c != QLatin1Char('$') || i + 1 >= n) {
            out += c;
            continue;
        }
        const QChar next = replacement[i + 1];
        const char16_t u = next.unicode();
        if (u == '$') {
            out += QLatin1Char('$');
        } else if (u == '&') {
            out += QStringView(subject).mid(m.whole.start, m.whole.length);
        } else if (u == '`') {
            out += QStringView(subject).left(m.whole.start);
        } else if (u == '\'') {
            out += QStringView(subject).mid(m.whole.end());
        } else if (u >= '1' && u <= '9' && int(u - '0') <= m.groups.size()) {
            const Span g = m.groups[u - '1'];
            if (g.matched())
                out += QStringView(subject).mid(g.start, g.length);
        } else {
            out += c; // not a substitution: the dollar sign stays
            continue;
        }
        ++i;
    }
    return out;
}

Result<QString> RegExp::replace(const QString &subject, const QString &replacement, bool global) const
{
    matchResources().startCall();
    QString out;
    qsizetype copied = 0;
    qsizetype from = 0;
    while (from <= subject.size()) {
        std::optional<Match> m = TRY(matchFrom(subject, from));
        if (!m.has_value())
            break;
        const Match &found = *m;
        out += QStringView(subject).mid(copied, found.whole.start - copied);
        out += expandReplacement(replacement, subject, found);
        copied = found.whole.end();
        if (!global)
            break;
        from = found.whole.length == 0 ? found.whole.end() + 1 : found.whole.end();
    }
    if (copied == 0 && out.isEmpty())
        return subject;
    out += QStringView(subject).mid(copied);
    return out;
}

} // namespace sorvane
