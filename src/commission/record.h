#pragma once
// The record of a write or commissioning run: what the run was (program, times, line, plan or file)
// and, per unit, who it is (address, device coding, firmware, buttons, location code), each value
// written and whether the read-back confirmed it, or why the unit was skipped or failed. As JSON for
// machines (keys in English) and as a document for people, in the run's language: a summary page,
// then one page per unit.

#include <string>
#include <vector>

#include <QDateTime>
#include <QJsonObject>

#include "commission/document.h"
#include "commission/run.h"
#include "modbus/line_settings.h"

namespace plx::commission {

struct RunRecord {
    std::string program = "plx24ctl";
    std::string version;
    std::string command;  // "write" or "commission"
    std::string device;
    modbus::LineSettings line;  // the command's; a unit's own is in its order
    std::string plan;           // commission
    std::string file;           // write
    bool all_registers = false;
    QDateTime started;
    QDateTime ended;
    std::string language_code;
    char separator = ',';
    std::vector<UnitOutcome> units;
    // per unit, the report's words of a failure, a skip or the differences; empty when verified
    std::vector<std::string> notes;
};

QJsonObject record_json(const RunRecord& r);
Document record_document(const RunRecord& r);

// A time as a record shows it in the language: "14.03.2025 10:15:30", "2025-03-14 10:15:30".
std::string shown_time(const QDateTime& t, const std::string& language_code);

// "plx24-record-20250314-101530": the record's files are this with ".json" and the document's ending.
std::string record_name(const QDateTime& started);

}  // namespace plx::commission
