#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace MentorBS {

/// Why a reader passed over part of its file without making what that part describes.
/// docs/report.md explains each one with the records it applies to.
enum class SkipReason : std::uint8_t {
    UnknownKeyword,           ///< a word where a record keyword belongs
    UnpairedCoordinates,      ///< a G_ATTR line with fewer than 6 numbers or an odd count
    UnknownCommand,           ///< a "$" command the technology reader does not use
    DuplicateLayerNumber,     ///< a physical layer number defined before
    UnknownOwnerKind,         ///< a create record of a kind the translation has no use for
    IncompletePage,           ///< a page record with too few numbers
    UnusedAttribute,          ///< an attribute that is no outline and no layer definition
    TooFewCoordinates,        ///< a shape or a trace run with too few points
    NonConductiveLayer,       ///< a pin or via shape on a layer that carries no copper
    UnknownShapeKeyword,      ///< a point-by-point shape closed by neither path nor polygon
    LoneRoundPad,             ///< a pin or via circle alone on its layer
    EmptyMergedOutline,       ///< pin or via shapes on one layer whose union leaves nothing
    UnknownLayerNumber,       ///< a trace run on a layer number the technology lacks
    LayerNotCrossReferenced,  ///< a trace run on a layer no XRF record names
    CutoutArea,               ///< an area of type CUTOUT
    UnfilledArea,             ///< a FIL area whose fill flag is 0
    DiscardedIsland,          ///< an island of a net with other than exactly one area
    NetOpenAtEnd,             ///< a net the file ends in, before its end was seen
    TestPointOwnedByIOrF,     ///< a TTI record whose owner word begins with I or F
    TestPointOnNoPinOrVia,    ///< a TTI record that lies on no pin or via of its net
    Count
};

/// The words a report uses for a reason ("unknown keyword").
std::string_view skipReasonText(SkipReason reason);

/// What one reader did with its file: records read, elements made, and parts skipped by
/// reason. The readers fill it where they already decide to make or skip something.
struct FileCounts {
    std::int64_t records = 0;
    std::int64_t elements = 0;
    std::int64_t skipped[static_cast<std::size_t>(SkipReason::Count)] = {};

    void skip(SkipReason reason, std::int64_t count = 1) {
        skipped[static_cast<std::size_t>(reason)] += count;
    }
    std::int64_t skippedFor(SkipReason reason) const {
        return skipped[static_cast<std::size_t>(reason)];
    }
};

/// A condition worth a warning: how often it arose, and the first few distinct names
/// involved, in the order they came.
struct WarningList {
    static constexpr std::size_t k_NamesKept = 20;

    std::int64_t count = 0;
    std::vector<std::string> names;

    /// Counts one more case; keeps `name` when it is new and fewer than k_NamesKept are
    /// kept. An empty name is counted and not kept.
    void add(std::string_view name);
};

/// What the readers did with the seven export files.
struct ReadCounts {
    FileCounts neutral;
    FileCounts layer;
    FileCounts tech;
    FileCounts geometry;
    FileCounts traces;
    FileCounts pins;
    FileCounts gates;
    /// Trace runs dropped because the technology file defines no layer of their number;
    /// the names are those layer numbers.
    WarningList undefinedTraceLayers;
};

/// One export file's counts as a report lists them.
struct ExportFileCounts {
    std::string_view file;                ///< "MentorTracesFile"
    const FileCounts* counts = nullptr;   ///< what its reader counted
    std::span<const SkipReason> reasons;  ///< the reasons its reader can skip for, in order
};

/// The seven files in report order: neutral, layer, technology, geometry, traces, pins,
/// gates.
std::vector<ExportFileCounts> exportFileCounts(const ReadCounts& counts);

}  // namespace MentorBS
