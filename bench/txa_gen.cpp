// varnok_txagen: writes a large, realistic TXA file, the same bytes for the
// same seed and size. Used by the benchmarks.
//
//   varnok_txagen [--mb N] [--seed S] [-o FILE]     (default: 100 MB to stdout)
//
// The file holds an application header with application-level extension
// instances, then procedures, each with common and data sections, a few
// extension instances (one of them, "WindowResizer", in nearly every
// procedure, about a tenth of all lines), embedded source, a window and
// calls. Lines end with CR LF; a few hold Windows-1252 letters, trailing
// spaces or run past 1024 characters.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Random {
    uint64_t state;
    uint64_t next() {  // splitmix64
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    bool chance(uint32_t percent) { return below(100) < percent; }
};

const char* const words[] = {"customer", "invoice", "payment", "account", "ledger", "balance", "order",
                             "supplier", "product", "stock", "report", "period", "journal", "budget",
                             "region", "contact", "address", "currency", "discount", "schedule"};
const char* const nouns[] = {"Customer", "Invoice", "Payment", "Account", "Ledger", "Order", "Supplier",
                             "Product", "Stock", "Journal", "Budget", "Region", "Contact", "Currency"};
const char* const kinds[] = {"Browse", "Form", "Report", "Process", "Select", "Update"};
const char* const extensions[][2] = {
    {"Tools", "ErrorLogger"},  {"Tools", "VersionStamp"}, {"Search", "QuickLocator"}, {"Reports", "Toolbar"},
    {"Reports", "PageFooter"}, {"Search", "FilterBar"},   {"Tools", "StatusClock"},   {"Data", "AuditTrail"},
    {"Data", "RecordLock"},    {"Tools", "HotKeys"},      {"Reports", "Exporter"},    {"Data", "Validator"}};
const char* const accented[] = {"Caf\xE9", "M\xFCller", "Se\xF1or", "Fa\xE7" "ade", "\xC5ngstr\xF6m"};

template <size_t N>
const char* pick(Random& r, const char* const (&list)[N]) {
    return list[r.below(N)];
}

class Writer {
public:
    Writer(std::FILE* out) : out_(out) { buf_.reserve(1 << 20); }
    ~Writer() { flush(); }
    void line(const std::string& text) {
        buf_ += text;
        buf_ += "\r\n";
        written_ += text.size() + 2;
        if (buf_.size() > (1 << 20)) flush();
    }
    void flush() {
        std::fwrite(buf_.data(), 1, buf_.size(), out_);
        buf_.clear();
    }
    uint64_t written() const { return written_; }

private:
    std::FILE* out_;
    std::string buf_;
    uint64_t written_ = 0;
};

std::string sentence(Random& r, int words_) {
    std::string s;
    for (int i = 0; i < words_ + 2; ++i) {
        if (i) s += ' ';
        s += r.chance(3) ? pick(r, accented) : pick(r, words);
    }
    return s;
}

int instanceNo = 0;

void addition(Writer& w, Random& r, const char* templ, const char* name, int prompts) {
    w.line("[ADDITION]");
    w.line(std::string("NAME ") + templ + " " + name);
    w.line("[INSTANCE]");
    w.line("INSTANCE " + std::to_string(++instanceNo));
    if (r.chance(30)) w.line("PARENT " + std::to_string(instanceNo > 1 ? instanceNo - 1 : 1));
    w.line("[PROMPTS]");
    for (int i = 0; i < prompts; ++i) {
        switch (r.below(4)) {
        case 0: w.line("%" + std::string(pick(r, nouns)) + "Option" + std::to_string(i) + " LONG  (" + std::to_string(r.below(1000)) + ")  ! " + sentence(r, 3 + r.below(4))); break;
        case 1: w.line("%" + std::string(pick(r, nouns)) + "Text" + std::to_string(i) + " DEFAULT  ('" + sentence(r, 5 + r.below(5)) + "')"); break;
        case 2: w.line("%" + std::string(pick(r, nouns)) + "Flag" + std::to_string(i) + " LONG  (" + std::to_string(r.below(2)) + ")  ! " + sentence(r, 2 + r.below(4))); break;
        default: w.line("%" + std::string(pick(r, nouns)) + "List" + std::to_string(i) + " MULTI DEFAULT  ('" + pick(r, words) + "','" + pick(r, words) + "')"); break;
        }
    }
    if (r.chance(20)) {
        w.line("[FIELDPROMPT]");
        w.line("%" + std::string(pick(r, nouns)) + "Field DEFAULT  ('" + pick(r, nouns) + ":Name')");
    }
}

void procedure(Writer& w, Random& r, int number) {
    std::string noun = pick(r, nouns);
    std::string kind = pick(r, kinds);
    std::string name = kind + noun + std::to_string(number);
    w.line("[PROCEDURE]");
    w.line("NAME " + name);
    w.line("[COMMON]");
    w.line("DESCRIPTION '" + kind + " the " + sentence(r, 2 + r.below(4)) + "'");
    w.line("FROM Standard " + kind);
    w.line("MODIFIED '2024/0" + std::to_string(1 + r.below(9)) + "/1" + std::to_string(r.below(10)) + "' '1" +
           std::to_string(r.below(10)) + ":2" + std::to_string(r.below(10)) + ":00'");
    w.line("[DATA]");
    for (int i = 0, n = 3 + r.below(8); i < n; ++i)
        w.line(std::string(pick(r, nouns)) + "Local" + std::to_string(i) + "   " +
               (r.chance(50) ? "LONG" : "STRING(" + std::to_string(10 + r.below(90)) + ")") + "  ! " + sentence(r, 3 + r.below(4)) +
               (r.chance(30) ? "   " : ""));  // some with trailing spaces
    // The common extension: nearly every procedure has one.
    if (r.chance(95)) addition(w, r, "Tools", "WindowResizer", 4 + r.below(4));
    for (int i = 0, n = r.below(4); i < n; ++i) {
        const auto& e = extensions[r.below(sizeof extensions / sizeof extensions[0])];
        addition(w, r, e[0], e[1], 1 + r.below(6));
    }
    for (int e = 0, embeds = 1 + r.below(3); e < embeds; ++e) {
        w.line("[EMBED]");
        w.line("EMBED %" + std::string(pick(r, nouns)) + "Code");
        w.line("[DEFINITION]");
        w.line("[SOURCE]");
        w.line("PRIORITY " + std::to_string(1000 + r.below(9000)));
        for (int i = 0, n = 5 + r.below(30); i < n; ++i) {
            std::string indent(2 * (1 + r.below(4)), ' ');
            switch (r.below(5)) {
            case 0: w.line(indent + "IF " + std::string(pick(r, nouns)) + ":Id = " + std::to_string(r.below(500)) + " AND " + pick(r, nouns) + ":Status <> '" + pick(r, words) + "' THEN"); break;
            case 1: w.line(indent + std::string(pick(r, words)) + "Total += " + pick(r, nouns) + ":Amount * " + pick(r, nouns) + ":Rate  ! " + sentence(r, 4 + r.below(5))); break;
            case 2: w.line(indent + "MESSAGE('" + sentence(r, 4 + r.below(5)) + "', 'Note', ICON:Exclamation)"); break;
            case 3: w.line(indent + "END  ! " + sentence(r, 2 + r.below(4))); break;
            default: w.line(indent + "DO " + std::string(pick(r, nouns)) + "::Refresh  ! " + sentence(r, 3 + r.below(5))); break;
            }
        }
        w.line("[END]");
    }
    if (r.below(2000) == 0) w.line("!" + std::string(1100 + r.below(800), 'x'));  // an over-long line
    w.line("[WINDOW]");
    w.line("Window WINDOW('" + name + "'),AT(,,400,220),FONT('Sans',8,,),CENTER,IMM,GRAY,RESIZE");
    for (int i = 0, n = 4 + r.below(12); i < n; ++i)
        w.line("  BUTTON('" + std::string(pick(r, words)) + "'),AT(" + std::to_string(r.below(380)) + "," +
               std::to_string(r.below(200)) + ",50,14),USE(?" + pick(r, nouns) + std::to_string(i) + "),LEFT,TIP('" + sentence(r, 3 + r.below(4)) + "'),ICON('" +
               pick(r, words) + ".ico')");
    w.line("END");
    w.line("[CALLS]");
    for (int i = 0, n = r.below(4); i < n; ++i) w.line(std::string(pick(r, kinds)) + pick(r, nouns) + std::to_string(r.below(number + 1)));
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t megabytes = 100, seed = 1;
    const char* outName = nullptr;
    // Without arguments it says what it takes: 100 MB on a terminal are
    // nobody's wish.
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: varnok_txagen [--mb N] [--seed S] [-o FILE]\n"
                     "writes a generated TXA file of about N megabytes (100 when not given; seed S, 1) to\n"
                     "FILE, or to standard output with \"-o -\" or when other arguments are given\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mb") == 0 && i + 1 < argc) megabytes = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) outName = argv[++i];
        else {
            std::fprintf(stderr, "usage: varnok_txagen [--mb N] [--seed S] [-o FILE]\n");
            return 2;
        }
    }
    if (outName && std::strcmp(outName, "-") == 0) outName = nullptr;
    std::FILE* out = outName ? std::fopen(outName, "wb") : stdout;
    if (!out) {
        std::perror(outName);
        return 1;
    }
    Random r{seed};
    {
        Writer w(out);
        w.line("[APPLICATION]");
        w.line("VERSION 34");
        w.line("DICTIONARY 'ledger.dct'");
        w.line("PROCEDURE Main");
        w.line("[COMMON]");
        w.line("DESCRIPTION 'Generated ledger application'");
        addition(w, r, "Tools", "ErrorLogger", 3);
        addition(w, r, "Tools", "VersionStamp", 2);
        const uint64_t target = megabytes * 1000 * 1000;
        for (int n = 1; w.written() < target; ++n) procedure(w, r, n);
    }
    if (outName && std::fclose(out) != 0) {
        std::perror(outName);
        return 1;
    }
    return 0;
}
