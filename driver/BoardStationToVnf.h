#pragma once

#include <string>

#include "writer/NeutralFileWriter.h"

namespace io {
class CAbstract_ostream;
}

/// The translator of one run. Constructing it reads every Board Station file of the
/// design directory and runs the preparation passes; `write` then produces the neutral
/// layout file. The members that the output blocks read live in the writer base.
class BoardStationToVnf : public NeutralFileWriter {
public:
    BoardStationToVnf(const std::string& designDirectory, io::CAbstract_ostream& log);
    BoardStationToVnf(const BoardStationToVnf&) = delete;
    BoardStationToVnf& operator=(const BoardStationToVnf&) = delete;

    /// The option word "merge" switches this on: planes are written from the prepared
    /// (merged) areas instead of the raw ones.
    void setMergeOption(bool merge) { mergePlanes = merge; }
};
