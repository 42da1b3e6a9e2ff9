#pragma once

#include <string>

#include "corelib/Block.h"
#include "corelib/VString.h"
#include "corelib/VnfSummary.h"
#include "mentor/BoardModel.h"
#include "mentor/ReadCounts.h"

class DocumentContext;
namespace io {
class CAbstract_ostream;
}

/// What the translation report takes from the write phase.
struct WrittenDocument {
    /// The counts of the document's objects.
    io::VnfSummary summary;
    /// The document context's warnings.
    MentorBS::WarningList emptyShrinks;
    MentorBS::WarningList netPinsWithoutTerminal;
};

/// Writes the neutral layout file "<dir>/<name>_V4.vnf" for the board model and logs the
/// write phase. `mergePlanes` is the option word "merge". The file is written under a
/// temporary name beside it and renamed into place only when it is complete, so a failed
/// run never leaves a truncated file. With `written`, also counts the document's objects
/// and hands them over there with the writer's warnings.
void writeNeutralFile(const MentorBS::BoardModel& model, bool mergePlanes,
                      const std::string& designDirectory, const std::string& designName,
                      io::CAbstract_ostream& log, WrittenDocument* written = nullptr);

/// Builds the document tree: the root block with its header items and the top-level
/// blocks in their order, each built by its own writer. Logs the construction lines.
io::CBlockPtr buildDocument(const MentorBS::BoardModel& model, DocumentContext& context,
                            const VString& dateText, io::CAbstract_ostream& log);
