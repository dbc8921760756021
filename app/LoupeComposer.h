// The finger loupe's picture, composed from the pixels our own views render (never read
// back from the screen): each source is a screen rectangle and a render of its client area.
#pragma once

#include <functional>
#include <vector>

#include "platform/Image.h"
#include "platform/draw/Geometry.h"

class LoupeComposer {
public:
    struct Source {
        std::function<draw::Rect()> screenRect;                // where the view lies on the screen now
        std::function<Image32(int width, int height)> render;  // what it shows at that size
    };

    void AddSource(Source source) { sources_.push_back(std::move(source)); }
    void Clear() { sources_.clear(); }

    // The screen area, unscaled, with `background` where no view lies.
    Image32 Compose(const draw::Rect& screenArea, uint32_t background) const;

private:
    std::vector<Source> sources_;
};
