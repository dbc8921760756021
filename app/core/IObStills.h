// The stored stills the OB/GY mode measures on, as the archive shows them: the record of a
// thumbnail-list row, the preview of a still, the tags drawn on thumbnails and the report
// images the evaluation writes. The default is an exam without stills.
#pragma once

#include <string>

#include "platform/Image.h"

class IObStills {
public:
    virtual ~IObStills() = default;
    // The image path and the 14-digit stamp of the still at a thumbnail-list index; empty
    // when there is none. Taken from the item's record, never from display text.
    virtual std::string StillPath(int /*index*/) const { return {}; }
    virtual std::string StillStamp(int /*index*/) const { return {}; }
    // The depth the still was taken at, from its sidecar; -1 when unknown.
    virtual int StillDepth(int /*index*/) const { return -1; }
    // The depth a measurement whose points lie in the still's columns xFrom..xTo reads at: a
    // still of two halves has one per half, and across them only one both share; -1 when unknown.
    virtual int StillDepthOver(int index, int /*xFrom*/, int /*xTo*/) const { return StillDepth(index); }
    // The still's picture as stored (480 x 480), which the OB/GY mode draws in place of the
    // cine frame; null when there is none.
    virtual const Image32* StillBitmap(int /*index*/) const { return nullptr; }
    // Shows the still at the index as the OB/GY image.
    virtual void PreviewStill(int /*index*/) {}
    // Selects the still's row in the thumbnail list as a click on the row does: the row is
    // previewed with its number and time, and a previewed or playing item gives way to it.
    virtual void SelectStill(int index) { PreviewStill(index); }
    // The item tag the thumbnail of a still shows ("" none); the list is repainted.
    virtual void SetTag(const std::string& /*path*/, const std::string& /*tag*/) {}
    // Writes the image on screen as a report image; false when it could not be written.
    virtual bool RenderReportImage(const std::string& /*path*/) { return false; }
};
