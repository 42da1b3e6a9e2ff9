#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "corelib/Block.h"
#include "mentor/BoardModel.h"

class DocumentContext;

/// The `PadStacks` block: one padstack per pad, built on the names `buildPadShapes` left in
/// the context.
io::CBlockPtr buildPadStacks(const MentorBS::BoardModel& model, DocumentContext& context);

/// How the component pins use each pad, gathered in one walk over the components. Pins
/// name their pad as the neutral file does; pads are looked up without quotes.
class PadUses {
public:
    explicit PadUses(const MentorBS::BoardModel& model);

    /// The side of the board the pins using a pad sit on: "TOP", "BOT" or "BOTH". A pin of
    /// a bottom-side component whose pad is on layer 1 sits on the bottom. "TOP" when no
    /// pin uses the pad.
    std::string side(std::string_view padName) const;
    /// The pad layer number of the first component pin that uses a pad; 1 when none does.
    int firstLayer(std::string_view padName) const;

private:
    struct Use {
        bool top = false;
        bool bottom = false;
        bool used = false;
        int firstLayer = 1;
        void add(const MentorBS::CompPin& pin);
    };
    const Use& of(std::string_view padName) const;

    std::map<std::string_view, Use, std::less<>> m_uses;
};

/// Name of the pin or via polygon a padstack uses on one layer at a position ("Top",
/// "Bottom" or "Signal"): the pad's name, "_" and the polygon's layer key. A polygon on the
/// layer itself comes first, then the outer pad layer of the position, then on the top
/// metal layer any pad layer, then any signal layer. Empty when the pad has no such polygon.
std::string pinViaPolygonName(const MentorBS::BoardModel& model, DocumentContext& context,
                              const std::string& layerName, const std::string& padName,
                              std::string_view position);
