// Names in and of export files.
//
// The file: the viewer's title, or "queue" when the title is empty or all
// spaces, with each of the nine characters | > < " ? * : / \ made an
// underscore and trailing spaces dropped, then ".csv" or ".xml". It has no
// folder part, so it is written in the current directory:
//     "C:\Work\app.txa"  ->  "C__Work_app.txa.csv"
//
// A field: its name as the record reflection gives it, without a prefix up to
// the first ':' when that colon is among the first 79 characters ("Q:NAME"
// gives "NAME", "REM:Icon" gives "Icon"), then cut to 80 characters.
#pragma once
#include <string>
#include <string_view>

namespace varnok::queueview {

constexpr size_t ExportNameLength = 80;

// Replaces, in place, every character a file name cannot hold by '_'.
void CleanFileName(std::string& name);

// The export file's name without its extension.
std::string exportBaseName(std::string_view title);

// The name without a prefix up to a ':' among its first 79 characters.
std::string withoutPrefix(std::string_view name);

// The name a field is written under.
std::string exportFieldName(std::string_view reflectedName);

}  // namespace varnok::queueview
