#pragma once

#include "CKeyMap.h"

#include <cstddef>
#include <string>

// The two key maps asked for a key: the user's own first, top to bottom,
// then the installation folder's, the administrator's default for everyone.
// While a mode is on, the sections of that mode in both files come first, so
// a key the mode leaves out keeps its usual meaning. The maps stay the
// caller's; this only asks them in order.
class CKeyMapLayers {
public:
    enum Layer { USER = 0, INSTALLATION = 1, LAYER_COUNT = 2, NO_LAYER = LAYER_COUNT };

    // What answers for one form of a key in a window: which file, section
    // and line, and a copy of the action, kept by whoever acts on it later.
    struct Answer {
        Layer layer = NO_LAYER; // NO_LAYER: nothing answers
        std::string strSection;
        std::string strMode; // of the section; empty for none
        std::size_t nLine = 0;
        CKeyAction action;
        bool IsFound() const { return layer != NO_LAYER; }
    };

    // All three forms of a key, by CKeyMap::Form.
    struct KeyAnswers {
        Answer forms[CKeyMap::FORM_COUNT];
        const Answer& Get(CKeyMap::Form form) const { return forms[static_cast<int>(form)]; }
    };

    // strMode: the mode that is on; empty for none.
    CKeyMapLayers(const CKeyMap& userMap, const CKeyMap& installationMap,
                  const std::string& strMode = std::string());

    Answer Find(const CKeyMap::Window& window, int nKey, CKeyMap::Form form) const;
    KeyAnswers FindAll(const CKeyMap::Window& window, int nKey) const;
    // The menu of that name for the window: the user's file first. Null
    // when neither file has one; it stays the map's.
    const CKeyMap::Menu* FindMenu(const CKeyMap::Window& window, const std::string& strName) const;
    // Whether either map needs the window's program to decide.
    bool UsesProgram() const;
    const CKeyMap& GetMap(Layer layer) const { return *m_maps[layer]; }

private:
    const CKeyMap* m_maps[LAYER_COUNT];
    std::string m_strMode;
};
