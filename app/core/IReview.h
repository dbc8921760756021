// Stored-cine review and playback (review buttons 1058..1062, window timer 1).
#pragma once

class IReview {
public:
    virtual ~IReview() = default;
    virtual void OnBnClickedPrev() {}
    virtual void OnBnClickedNext() {}
    virtual void OnBnClickedPlay() {}
    virtual void OnBnClickedStop() {}
    // Timer 1: the playback step when its deadline is reached.
    virtual void PlaybackStep() {}
};
