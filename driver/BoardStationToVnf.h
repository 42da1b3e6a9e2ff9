#pragma once

#include <string>

#include "mentor/BoardModel.h"

class TranslationReport;
namespace io {
class CAbstract_ostream;
}

/// The translator of one run. Constructing it reads every Board Station file of the
/// design directory into the board model it owns and runs the preparation passes over
/// it; `write` then produces the neutral layout file from the model. With a report, both
/// also time their phases and fill the report.
class BoardStationToVnf {
public:
    BoardStationToVnf(const std::string& designDirectory, io::CAbstract_ostream& log,
                      TranslationReport* report = nullptr);
    BoardStationToVnf(const BoardStationToVnf&) = delete;
    BoardStationToVnf& operator=(const BoardStationToVnf&) = delete;

    /// The option word "merge" switches this on: planes are written from the prepared
    /// (merged) areas instead of the raw ones.
    void setMergeOption(bool merge) { mergePlanes = merge; }

    /// Writes "<dir>/<name>_V4.vnf" and logs the write phase.
    void write(const std::string& designDirectory, const std::string& designName,
               io::CAbstract_ostream& log, TranslationReport* report = nullptr) const;

    const MentorBS::BoardModel& model() const { return m_model; }

private:
    MentorBS::BoardModel m_model;
    bool mergePlanes = false;
};
