#pragma once

#include <string>

#include "corelib/Block.h"
#include "corelib/VString.h"
#include "mentor/BoardModel.h"

class DocumentContext;
namespace io {
class CAbstract_ostream;
}

/// Writes the neutral layout file "<dir>/<name>_V4.vnf" for the board model and logs the
/// write phase. `mergePlanes` is the option word "merge". The file is written under a
/// temporary name beside it and renamed into place only when it is complete, so a failed
/// run never leaves a truncated file.
void writeNeutralFile(const MentorBS::BoardModel& model, bool mergePlanes,
                      const std::string& designDirectory, const std::string& designName,
                      io::CAbstract_ostream& log);

/// Builds the document tree: the root block with its header items and the top-level
/// blocks in their order, each built by its own writer. Logs the construction lines.
io::CBlockPtr buildDocument(const MentorBS::BoardModel& model, DocumentContext& context,
                            const VString& dateText, io::CAbstract_ostream& log);
