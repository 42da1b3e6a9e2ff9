#include "driver/TranslationReport.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "corelib/Clock.h"
#include "corelib/FileName.h"
#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "corelib/Utf8.h"
#include "corelib/VnfSummary.h"
#include "prepare/PowerNets.h"

namespace {

/// Appends `text` as a JSON string. Names come from the export files as bytes: valid UTF-8
/// is kept, and every other byte is taken as the Latin-1 character of its value.
void appendString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        char32_t cp = 0;
        if (byte >= 0x80) {
            if (const std::size_t length =
                    utf8::decode(text.data() + i, text.data() + text.size(), cp)) {
                out.append(text, i, length);
                i += length;
                continue;
            }
        }
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(byte));
            out += escape;
        } else {
            out += static_cast<char>(byte);
        }
        ++i;
    }
    out += '"';
}

/// Appends a non-negative measure with a fixed number of decimals.
void appendFixed(std::string& out, double value, int decimals) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, result.ec == std::errc() ? result.ptr : text);
}

void appendWarning(std::string& out, std::string_view key, const MentorBS::WarningList& warning,
                   bool last = false) {
    out += "    ";
    appendString(out, key);
    out += ":{\"count\":" + std::to_string(warning.count) + ",\"names\":[";
    for (std::size_t i = 0; i < warning.names.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendString(out, warning.names[i]);
    }
    out += last ? "]}\n" : "]},\n";
}

}  // namespace

void TranslationReport::beginPhase() {
    m_phaseStart = platform::steadySeconds();
}

void TranslationReport::endPhase(Phase phase) {
    Measure& measure = m_phases[static_cast<int>(phase)];
    measure.seconds = platform::steadySeconds() - m_phaseStart;
    measure.peakResidentMegabytes = platform::peakResidentMegabytes();
    m_phaseStart = platform::steadySeconds();
}

void TranslationReport::takeModel(const MentorBS::BoardModel& model) {
    m_inputs = model.readCounts;
    m_powerLayersWithoutNet = {};
    for (const std::string& layer : powerLayersWithoutNet(model)) {
        m_powerLayersWithoutNet.add(layer);
    }
}

std::string TranslationReport::json() const {
    std::string out = "{\n  \"inputs\":[\n";
    const std::vector<MentorBS::ExportFileCounts> files = MentorBS::exportFileCounts(m_inputs);
    for (std::size_t f = 0; f < files.size(); ++f) {
        const MentorBS::FileCounts& counts = *files[f].counts;
        out += "    {\"file\":";
        appendString(out, files[f].file);
        out += ",\"records\":" + std::to_string(counts.records);
        out += ",\"elements\":" + std::to_string(counts.elements);
        out += ",\"skipped\":{";
        for (std::size_t r = 0; r < files[f].reasons.size(); ++r) {
            if (r > 0) {
                out += ',';
            }
            appendString(out, MentorBS::skipReasonText(files[f].reasons[r]));
            out += ':' + std::to_string(counts.skippedFor(files[f].reasons[r]));
        }
        out += f + 1 < files.size() ? "}},\n" : "}}\n";
    }
    out += "  ],\n  \"output\":" + io::vnfSummaryJson(m_written.summary) + ",\n";
    out += "  \"warnings\":{\n";
    appendWarning(out, "undefined_trace_layers", m_inputs.undefinedTraceLayers);
    appendWarning(out, "power_layers_without_net", m_powerLayersWithoutNet);
    appendWarning(out, "empty_shrinks", m_written.emptyShrinks);
    appendWarning(out, "net_pins_without_terminal", m_written.netPinsWithoutTerminal, true);
    out += "  },\n  \"phases\":{";
    static constexpr const char* k_PhaseNames[] = {"read", "prepare", "write"};
    for (int p = 0; p < 3; ++p) {
        out += p > 0 ? ",\"" : "\"";
        out += k_PhaseNames[p];
        out += "\":{\"seconds\":";
        appendFixed(out, m_phases[p].seconds, 6);
        out += ",\"peak_rss_mb\":";
        appendFixed(out, m_phases[p].peakResidentMegabytes, 3);
        out += '}';
    }
    out += "}\n}\n";
    return out;
}

bool writeTranslationReport(const TranslationReport& report, const std::string& path) {
    const LongFileName target{VString(path)};
    const LongFileName partial{VString(path + ".tmp")};
    bool complete = false;
    {
        io::CToken_grammar grammar;
        io::CToken_ostream out(partial, 32);
        if (out.IsOpen()) {
            out.WriteBytes(report.json());
            complete = out.Close();
        }
    }
    if (!complete || !ReplaceFile(partial, target)) {
        RemoveFile(partial);
        return false;
    }
    return true;
}
