#pragma once

#include <string>

#include "mentor/BoardModel.h"
#include "mentor/ReadCounts.h"
#include "writer/NeutralFileWriter.h"

/// The translation report of one run (docs/report.md), asked for with the environment
/// variable BS2VNF_REPORT: what each reader read, made and skipped, the counts of the
/// written document, the warnings of the run, and the time and memory of its three phases.
/// The translator fills it as the run goes on; `json` gives its text at the end.
class TranslationReport {
public:
    enum class Phase { Read, Prepare, Write };

    /// Starts the clock of the next phase.
    void beginPhase();
    /// Ends the phase begun last: its wall time, and the process's peak resident set so
    /// far.
    void endPhase(Phase phase);

    /// Takes over what the readers counted and the warnings of the prepared model.
    void takeModel(const MentorBS::BoardModel& model);

    /// What the write phase hands over: the document's counts and the writer's warnings.
    WrittenDocument& written() { return m_written; }

    /// The report as JSON, with a final line end. Only the phases' times and memory differ
    /// between two runs on one input.
    std::string json() const;

private:
    struct Measure {
        double seconds = 0;
        double peakResidentMegabytes = 0;
    };

    MentorBS::ReadCounts m_inputs;
    MentorBS::WarningList m_powerLayersWithoutNet;
    WrittenDocument m_written;
    Measure m_phases[3];
    double m_phaseStart = 0;
};

/// Writes the report's JSON to `path`, under a temporary name beside it that is renamed
/// into place when complete. False when it cannot be written.
bool writeTranslationReport(const TranslationReport& report, const std::string& path);
