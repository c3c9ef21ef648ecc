#include "document/SvgUseResolver.h"

#include "document/SvgUseElement.h"
#include "engine/SvgEngine.h"

#include <algorithm>

using Stage = SvgUseElement::Stage;

void SvgUseResolver::ResolveAll(const std::vector<SvgUseElement*>& uses) {
    for (SvgUseElement* use : uses)
        Resolve(*use);
}

void SvgUseResolver::Resolve(SvgUseElement& use) {
    if (use.GetStage() != Stage::Unresolved || m_chain.size() >= kMaxChain)
        return;
    use.SetStage(Stage::Resolving);
    m_chain.push_back(&use);
    SvgElement* target = m_engine.FindElementById(use.GetHref().c_str());
    if (target) {
        // The uses inside the target first: their copies become part of this one.
        Settle(*target);
        if (!use.IsCyclic())
            use.CopyTarget(*target);
    }
    m_chain.pop_back();
    use.SetStage(Stage::Resolved);
    use.SetHoldsPendingUse(false);
}

bool SvgUseResolver::Reach(SvgUseElement& use) {
    if (use.GetStage() == Stage::Resolving) {
        // A reference back to a use being resolved: every use from it to the
        // innermost is part of the cycle.
        auto at = std::find(m_chain.begin(), m_chain.end(), &use);
        for (auto it = at; it != m_chain.end(); ++it)
            (*it)->MarkCyclic();
        return false;
    }
    Resolve(use);
    return use.GetStage() == Stage::Resolved;
}

bool SvgUseResolver::Settle(SvgElement& root) {
    if (!root.HoldsPendingUse())
        return true;
    // A walk of the branches that hold waiting uses, without recursion (trees
    // are up to 1024 levels deep); a branch found settled loses its mark.
    struct Step {
        SvgElement* element;
        size_t next;
        bool settled;
    };
    std::vector<Step> steps{{&root, 0, true}};
    bool settled = true;
    while (!steps.empty()) {
        size_t top = steps.size() - 1;
        SvgElement* element = steps[top].element;
        bool done = true;
        if (element->GetKind() == SvgKindUse) {
            // Its children are copies: nothing waits there.
            steps[top].settled = Reach(static_cast<SvgUseElement&>(*element));
        } else {
            const std::vector<SvgElement*>& children = element->GetChildren();
            while (steps[top].next < children.size()) {
                SvgElement* child = children[steps[top].next++];
                if (child->HoldsPendingUse()) {
                    steps.push_back({child, 0, true});
                    done = false;
                    break;
                }
            }
        }
        if (!done)
            continue;
        bool branchSettled = steps[top].settled;
        if (branchSettled)
            element->SetHoldsPendingUse(false);
        steps.pop_back();
        if (steps.empty())
            settled = branchSettled;
        else if (!branchSettled)
            steps.back().settled = false;
    }
    return settled;
}
