#pragma once
// The validity test decided over spans instead of per character: for every
// part of a text that the rules can reach (it begins at the start or after
// one of + - * / ( and ends at the end or before one of + - * / )), the set
// of units in which it is acceptable, filled shortest first like a CYK table.
// The split rule is an existential over the operators of a part; with the
// unit sets of all shorter parts kept as bit sets over operator positions
// ("the parts from b to an operator", "the parts from an operator to e") it
// becomes a few word-wide ANDs per unit combination. Private to the
// expression files.
#include "language/expression_frames.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace kelvo::expression_detail {

// Bit u stands for unit slot u.
using UnitSet = std::uint8_t;

// What a text is on its own, without the rules that take it apart:
// accepted, the units in which it may be an operand; touched, the units in
// which trying it may have an effect (a message, the evaluation of a
// parameter value). The validity test has no effects. A part neither
// accepted nor touched in a unit fails there without a trace.
struct AtomUnits {
    UnitSet accepted = 0;
    UnitSet touched = 0;
};

class SpanTable {
public:
    using Atoms = std::function<AtomUnits(std::string_view text)>;

    // Fills the table for every frame of the chain (the chain is completed).
    // units: the unit slots that can occur (closed under the combinations);
    // atom_length: no text longer than this is an operand unless it is made
    // of digits, ".", ":" and at most two signs (numbers and times); with_touch: also fill the
    // touched sets; keep_bytes: frames beyond the first are kept while their
    // entries fit in this many bytes (the first frame is always kept).
    SpanTable(FrameChain& chain, UnitSet units, std::size_t atom_length, const Atoms& atoms, bool with_touch,
              std::size_t keep_bytes);

    // Whether the entries of frame f were kept.
    bool kept(int f) const;
    // The sets of frame f's range [b, e) taken as it is (not normalised);
    // 0 for a range the rules cannot reach.
    UnitSet accepted(int f, int b, int e) const;
    UnitSet touched(int f, int b, int e) const;

    // The number of ranges the table holds over all frames of the chain
    // (the chain is completed): its cost is about this times the operators
    // over 64.
    static double ranges(FrameChain& chain);

    // The unit slots the combinations reach from the unit asked for.
    static UnitSet reachable_units(int asked);

private:
    struct Entries {
        std::vector<int> start_id, end_id;  // by position; -1 where no range begins or ends
        std::size_t ends = 0;
        std::vector<UnitSet> accepted, touched;  // [start_id * ends + end_id]
        std::size_t bytes() const;
    };

    void fill(int f, const Entries* next, Entries& out, const Atoms& atoms);
    static std::size_t index(const Entries& x, int b, int e);

    FrameChain& chain_;
    UnitSet units_;
    std::size_t atom_length_;
    bool with_touch_;
    std::vector<Entries> frames_;  // by frame; emptied where not kept
    std::vector<bool> kept_;
};

}  // namespace kelvo::expression_detail
