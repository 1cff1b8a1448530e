// File and field names of exports.
#include "queueview/export/export_names.h"

#include <gtest/gtest.h>

#include <string>

#include "queueview/export/export_command.h"

namespace varnok::queueview {
namespace {

TEST(ExportNames, CleanFileNameReplacesTheNineCharacters) {
    std::string name = "a|b>c<d\"e?f*g:h/i\\j.k l";
    CleanFileName(name);
    EXPECT_EQ(name, "a_b_c_d_e_f_g_h_i_j.k l");
    std::string every;
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    std::string cleaned = every;
    CleanFileName(cleaned);
    int changed = 0;
    for (size_t i = 0; i < every.size(); ++i) changed += every[i] != cleaned[i];
    EXPECT_EQ(changed, 9);
}

TEST(ExportNames, FileNames) {
    struct Case {
        std::string_view title;
        ExportFormat format;
        std::string name;
    } cases[] = {
        {"C:\\Work\\app.txa", ExportFormat::Csv, "C__Work_app.txa.csv"},
        {"C:\\Work\\app.txa", ExportFormat::Xml, "C__Work_app.txa.xml"},
        {"", ExportFormat::Csv, "queue.csv"},
        {"    ", ExportFormat::Xml, "queue.xml"},
        {"Lines  ", ExportFormat::Csv, "Lines.csv"},
        {"  Lines", ExportFormat::Csv, "  Lines.csv"},
        {"/tmp/x/app.txa", ExportFormat::Csv, "_tmp_x_app.txa.csv"},
        {"Col: 3", ExportFormat::Csv, "Col_ 3.csv"},
        {"Lines", ExportFormat::None, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(exportFileName(c.title, c.format), c.name) << '"' << c.title << '"';
}

TEST(ExportNames, FieldNames) {
    const std::string long79(79, 'p');
    const std::string long90(90, 'n');
    struct Case {
        std::string reflected, written;
    } cases[] = {
        {"Lyn", "Lyn"},
        {"Q:NAME", "NAME"},
        {"REM:Icon", "Icon"},
        {":X", "X"},
        {"A:B:C", "B:C"},
        {"Name  ", "Name"},
        {long79.substr(0, 78) + ":Tail", "Tail"},   // colon at position 79
        {long79 + ":Tail", long79 + ":"},           // colon at position 80 stays, name cut to 80
        {long90, long90.substr(0, 80)},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(exportFieldName(c.reflected), c.written) << c.reflected;
}

}  // namespace
}  // namespace varnok::queueview
