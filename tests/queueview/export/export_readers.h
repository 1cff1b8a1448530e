// Readers for the export tests, written from the formats' rules and not
// from the exporters, so a round trip through them checks the files.
//
// readCsv: records separated by CR LF; fields separated by commas; a field
// that starts with a double quote runs to the closing quote, with "" standing
// for one quote and line breaks allowed inside; any other field is taken as
// it stands. Fails (ok = false) on a quote inside a bare field or text after
// a closing quote.
//
// readXml: a conforming reader's view of the small documents the XML export
// writes: the declaration, then elements holding either text or elements.
// Fails on a character XML 1.0 does not allow, a bare '<' or '&' in text, an
// unknown entity, or tags that do not match. Line ends in text are normalised
// as XML requires (CR LF and a lone CR become LF); "&#13;" gives a CR, and
// any other decimal character reference the Windows-1252 byte of that
// character (as the program holds its text), failing for a character
// Windows-1252 has not.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp1252.h"

namespace varnok::testing {

struct CsvField {
    std::string text;
    bool quoted = false;
};
using CsvRecord = std::vector<CsvField>;

struct CsvFile {
    bool ok = true;
    std::vector<CsvRecord> records;
};

inline CsvFile readCsv(std::string_view data) {
    CsvFile file;
    size_t i = 0;
    while (i < data.size()) {
        CsvRecord record;
        for (;;) {
            CsvField field;
            if (i < data.size() && data[i] == '"') {
                field.quoted = true;
                ++i;
                for (;;) {
                    if (i >= data.size()) return CsvFile{false, {}};
                    if (data[i] == '"') {
                        if (i + 1 < data.size() && data[i + 1] == '"') {
                            field.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field.text += data[i++];
                }
            } else {
                while (i < data.size() && data[i] != ',' && data.substr(i, 2) != "\r\n") {
                    if (data[i] == '"') return CsvFile{false, {}};
                    field.text += data[i++];
                }
            }
            record.push_back(field);
            if (i < data.size() && data[i] == ',') {
                ++i;
                continue;
            }
            if (data.substr(i, 2) == "\r\n") {
                i += 2;
                break;
            }
            if (i >= data.size()) break;
            return CsvFile{false, {}};  // text after a closing quote
        }
        file.records.push_back(record);
    }
    return file;
}

struct XmlElement {
    std::string name;
    std::string text;                   // when it holds text
    std::vector<XmlElement> children;   // when it holds elements
};

struct XmlDocument {
    bool ok = false;
    std::string error;
    XmlElement root;
};

class XmlReader {
public:
    explicit XmlReader(std::string_view data) : d_(data) {}

    XmlDocument read() {
        XmlDocument doc;
        const std::string_view declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>";
        if (d_.substr(0, declaration.size()) != declaration) return fail(doc, "no declaration");
        i_ = declaration.size();
        skipSpace();
        if (!element(doc.root)) return fail(doc, error_);
        skipSpace();
        if (i_ != d_.size()) return fail(doc, "text after the root element");
        doc.ok = true;
        return doc;
    }

private:
    static bool allowed(unsigned char c) { return c >= 0x20 || c == '\t' || c == '\n' || c == '\r'; }
    static bool nameChar(char c) { return c != '<' && c != '>' && c != '/' && c != '&' && c != ' ' && c != '\r' && c != '\n'; }

    XmlDocument fail(XmlDocument& doc, std::string why) {
        doc.ok = false;
        doc.error = why + " at byte " + std::to_string(i_);
        return doc;
    }
    void skipSpace() {
        while (i_ < d_.size() && (d_[i_] == ' ' || d_[i_] == '\r' || d_[i_] == '\n' || d_[i_] == '\t')) ++i_;
    }
    bool name(std::string& out) {
        size_t start = i_;
        while (i_ < d_.size() && nameChar(d_[i_])) ++i_;
        out.assign(d_.substr(start, i_ - start));
        return !out.empty();
    }
    bool element(XmlElement& e) {
        if (i_ >= d_.size() || d_[i_] != '<') return bad("expected '<'");
        ++i_;
        if (!name(e.name) || i_ >= d_.size() || d_[i_] != '>') return bad("bad start tag");
        ++i_;
        std::string text;
        for (;;) {
            if (i_ >= d_.size()) return bad("unclosed element " + e.name);
            const char c = d_[i_];
            if (c == '<' && d_.substr(i_, 2) == "</") {
                i_ += 2;
                std::string closing;
                if (!name(closing) || closing != e.name || i_ >= d_.size() || d_[i_] != '>')
                    return bad("end tag does not match " + e.name);
                ++i_;
                break;
            }
            if (c == '<') {
                XmlElement child;
                if (!element(child)) return false;
                e.children.push_back(std::move(child));
                continue;
            }
            if (!allowed(static_cast<unsigned char>(c))) return bad("character not allowed in XML");
            if (c == '&') {
                if (!reference(text)) return false;
                continue;
            }
            if (c == '>') return bad("bare '>'");  // allowed by XML, never written by the export
            if (c == '\r') {
                text += '\n';
                i_ += d_.substr(i_, 2) == "\r\n" ? 2 : 1;
                continue;
            }
            text += c;
            ++i_;
        }
        if (e.children.empty()) {
            e.text = std::move(text);
        } else if (text.find_first_not_of(" \t\n") != std::string::npos) {
            return bad("text mixed with elements in " + e.name);
        }
        return true;
    }
    bool reference(std::string& text) {
        static const std::pair<std::string_view, char> entities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&#13;", '\r'}};
        for (const auto& [entity, c] : entities) {
            if (d_.substr(i_, entity.size()) == entity) {
                text += c;
                i_ += entity.size();
                return true;
            }
        }
        const size_t end = d_.find(';', i_);
        const int n = d_.substr(i_, 2) == "&#" && end != std::string_view::npos && end < i_ + 9
                          ? std::atoi(std::string(d_.substr(i_ + 2, end - i_ - 2)).c_str()) : -1;
        for (int b = 0; n > 0 && b < 256; ++b) {
            if (platform::codePointOf(static_cast<unsigned char>(b)) != static_cast<uint32_t>(n)) continue;
            text += static_cast<char>(b);
            i_ = end + 1;
            return true;
        }
        return bad("unknown entity");
    }
    bool bad(std::string why) {
        error_ = std::move(why);
        return false;
    }

    std::string_view d_;
    size_t i_ = 0;
    std::string error_;
};

inline XmlDocument readXml(std::string_view data) { return XmlReader(data).read(); }

}  // namespace varnok::testing
