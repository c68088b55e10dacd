#pragma once

#include <cstdint>

// A registered note window as snapping sees it.
struct TBox {
    int32_t Id = 0;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    bool Minimized = false;
};

// The registry of open note windows, read afresh on every call.
class IBoxRegistry {
public:
    virtual ~IBoxRegistry() = default;
    virtual int GetBoxCount() const = 0;
    virtual TBox GetBox(int index) const = 0;
};

// Pulls a moving or resized window to the edge lines of the other registered windows. Two
// windows side by side share their one-pixel outline: a window placed against another's left
// edge ends with its last column on that edge.
class TBoxController {
public:
    static constexpr int32_t SnapDistance = 4;

    explicit TBoxController(const IBoxRegistry& registry) : Registry_(registry) {}

    static bool IsNear(int64_t a, int64_t b) { return (a > b ? a - b : b - a) <= SnapDistance; }
    int GetBoxCount() const { return Registry_.GetBoxCount(); }
    TBox GetBox(int index) const { return Registry_.GetBox(index); }

    // The window with note number `id` itself is skipped.
    void SnapPosition(int32_t id, int32_t& x, int32_t& y, int32_t width, int32_t height) const;
    void SnapSize(int32_t id, int32_t left, int32_t top, int32_t& width, int32_t& height) const;

private:
    const IBoxRegistry& Registry_;
};
