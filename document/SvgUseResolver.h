#pragma once

#include <cstddef>
#include <vector>

class SvgElement;
class SvgEngine;
class SvgUseElement;

// Makes the copies of a loaded document's `use` elements, in document order.
// A use whose target holds uses not yet copied has those copied first, so
// that its copy holds what they draw, whether they come before or after it
// in the file. Uses whose references lead back to themselves are marked
// cyclic and copy nothing; chains of uses deeper than kMaxChain leave the
// deeper ones to be copied in their own turn.
class SvgUseResolver {
public:
    static constexpr size_t kMaxChain = 512;

    explicit SvgUseResolver(SvgEngine& engine) : m_engine(engine) {}

    // Every use of uses (those the engine was handed while loading).
    void ResolveAll(const std::vector<SvgUseElement*>& uses);

private:
    void Resolve(SvgUseElement& use);
    // Resolves the uses below root (root included) that wait; false when one
    // is still waiting (a cycle, or too deep a chain), so that the subtree is
    // walked again by a later look.
    bool Settle(SvgElement& root);
    // One use met by Settle; false when it is still waiting.
    bool Reach(SvgUseElement& use);

    SvgEngine& m_engine;
    std::vector<SvgUseElement*> m_chain; // uses being resolved, outermost first
};
