#pragma once
// Checks that Tab walks a form as it is read: top to bottom, left to right, a group's (a
// panel's, a page's) controls together. Two controls stand on one line when their tops lie
// within half the smaller height of each other.
#include "Forms.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace kvtest {

// The controls Tab reaches on the window now, from its first, each once.
inline std::vector<TControl *> tabWalk(TForm *form)
{
    QWidget *window = form->Widget();
    std::vector<TControl *> walk;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if (w->window() != window || !(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() ||
            !w->isEnabled() || w->focusProxy())
            continue;
        TControl *c = TControl::FromWidget(w);
        if (c && std::find(walk.begin(), walk.end(), c) == walk.end())
            walk.push_back(c);
    }
    return walk;
}

inline std::vector<TControl *> parentsOf(TControl *c)
{
    std::vector<TControl *> chain;
    for (; c; c = c->Parent())
        chain.insert(chain.begin(), c);
    return chain;
}

// True when b stands before a on the screen (both shown in the same parent).
inline bool readBefore(const TControl *b, const TControl *a)
{
    const bool oneLine = std::abs(a->Top() - b->Top()) < std::min(a->Height(), b->Height()) / 2;
    return oneLine ? b->Left() < a->Left() : b->Top() < a->Top();
}

inline void expectTabsFollowPlaces(TForm *form, const std::string &name)
{
    const std::vector<TControl *> walk = tabWalk(form);
    for (std::size_t i = 1; i < walk.size(); ++i) {
        const std::vector<TControl *> a = parentsOf(walk[i - 1]);
        const std::vector<TControl *> b = parentsOf(walk[i]);
        std::size_t common = 0;
        while (common < a.size() && common < b.size() && a[common] == b[common])
            ++common;
        // Where the two part: the controls (or groups holding them) side by side.
        if (common == a.size() || common == b.size())
            continue;
        EXPECT_FALSE(readBefore(b[common], a[common]))
            << name << ": Tab goes from " << walk[i - 1]->Name() << " to " << walk[i]->Name() << " ("
            << b[common]->Name() << " at " << b[common]->Left() << "," << b[common]->Top()
            << " stands before " << a[common]->Name() << " at " << a[common]->Left() << ","
            << a[common]->Top() << ")";
    }
}

} // namespace kvtest
