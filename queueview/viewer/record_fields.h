// FieldQ: one record shown as a list of its fields' names and values, the
// queue the viewer's record view (ViewRecord) opens the viewer on.
//
//     PFieldName  STRING(80)    the field's name
//     FieldValue  STRING(1024)  its value as text
//
// fillFieldQueue frees the queue and adds, for each field of the record in
// order up to the first empty name, except groups:
//   - a plain field: its name and value;
//   - an array: one entry per element k, named name & "_" & k;
//   - with stripPrefix, a name with a ':' among its first 79 characters
//     loses everything up to and including that ':' ("Q:NAME" -> "NAME");
//     a name that is only a prefix ("Q:") is then empty, and the list ends
//     before it, as it does past the last field.
// A value that NUMERIC accepts, written without a '.', whose value lies in
// the viewer's date range (column_typing.h: the same test that types a
// column as dates) is shown with its date as well: "54789 (31/12/1950)",
// "6e4 (07/04/1965)".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "queueview/export/export_names.h"
#include "runtime/queue/queue.h"
#include "runtime/records/record_layout.h"

namespace varnok::queueview {

constexpr uint32_t FieldNameSize = 80;
constexpr uint32_t FieldValueSize = 1024;

RecordLayout fieldQueueLayout();

// The value as the record view shows it.
std::string recordViewValue(std::string_view value);

// Fills fieldQ (a queue of fieldQueueLayout()) from one record.
void fillFieldQueue(QueueDecl* fieldQ, const RecordLayout& layout, const uint8_t* record, bool stripPrefix);

}  // namespace varnok::queueview
