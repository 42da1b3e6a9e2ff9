#pragma once

#include <string>
#include <string_view>

#include "corelib/Block.h"
#include "corelib/VString.h"
#include "mentor/BoardModel.h"
#include "mentor/Names.h"

class DocumentContext;

/// The `Materials` block, which has no items: every stackup layer names its material
/// where it is defined.
io::CBlockPtr buildMaterials(const MentorBS::BoardModel& model, DocumentContext& context);

/// The key of a layer name in the model's XRF table: the first XRF name, in key order,
/// that maps to `layerName`; null when none does.
const std::string* layerKey(const MentorBS::BoardModel& model, std::string_view layerName);

/// Neutral-file layer type of a Board Station layer type. A type matches a row of the
/// context's layer type table as it stands, or without a two- or three-character suffix
/// ("SIGNAL_1", "POWER_12"); a type no row matches is added as "User".
std::string outputTypeOfType(DocumentContext& context, const std::string& boardStationType);

/// Neutral-file layer type of a layer name: "Wirebond" for a bond layer, else the type of
/// its XRF key, and "Dielectric" for a name no XRF entry maps to.
VString outputTypeOfLayer(const MentorBS::BoardModel& model, DocumentContext& context,
                          std::string_view layerName);

/// One micrometre in the output units, times the unit scale.
double oneMicrometre(const DocumentContext& context);

/// Thickness of a layer from its layer-file record; 0 when it has none.
double layerThickness(const MentorBS::BoardModel& model, const DocumentContext& context,
                      std::string_view layerName);

/// The outermost non-wirebond stackup layer of a side: the first for "Top", the last for
/// "Bottom". Empty for any other word, or when the stackup has no such layer.
std::string outerMetalLayer(const MentorBS::BoardModel& model, DocumentContext& context,
                            const VString& side);

/// The `Layers` block of one footprint: its drawing layers and the board's stackup with
/// generated dielectrics. `drawings` holds, in board order, the drawn elements that may
/// belong to the geometry (at least all that do). Appends the drawing layers it writes to
/// the context's footprint layer list.
io::CBlockPtr buildFootprintLayers(const MentorBS::BoardModel& model, DocumentContext& context,
                                   const MentorBS::Geometry& geometry,
                                   const std::vector<const MentorBS::MentorElement*>& drawings);

/// The `Layers` block of the layout: the drawing layers the footprints used, the wirebond
/// layers and the stackup with generated dielectrics.
io::CBlockPtr buildLayoutLayers(const MentorBS::BoardModel& model, DocumentContext& context);
