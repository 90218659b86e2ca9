#pragma once
// A soft drop shadow for a frameless window: a separate frameless, translucent, click-through
// window that is never activated, surrounds its owner by a few pixels on every side, is
// transparent where the owner lies, and follows the owner on move, resize, show and hide.
// Its state lives in properties of the two windows, so it needs no globals.

#include <QPaintDevice>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace zarvex {

// On the owner: the shadow window, and the event filter that follows the owner.
inline constexpr char shadow_property[] = "Lumex.WndShadow";
inline constexpr char shadow_follower_property[] = "Lumex.WndShadow.Proc";
// On the shadow window: the colour (red in the low byte, then green, then blue) and the
// shadow's width in pixels.
inline constexpr char shadow_colour_property[] = "Lumex.WndShadow.Color";
inline constexpr char shadow_size_property[] = "Lumex.WndShadow.Size";

inline constexpr int default_shadow_size = 5;

// Attaches or re-colours the shadow of `window`; a given size below 1 removes it. True when
// a shadow is attached afterwards. The follower is installed once however often this is called.
bool attach_shadow(QWidget* window, std::uint32_t colour, std::optional<int> size = std::nullopt);

// Shows, hides and moves the shadow, and repaints it when its size changed; without `visible`
// the owner's own visibility counts. Hidden while the owner is hidden, maximised or minimised.
void update_shadow(QWidget* owner, std::optional<bool> visible = std::nullopt);

// Draws the shadow picture of `shadow_window` (its colour and size properties) onto a
// transparent surface of width × height: rings of rising alpha outside the owner's rectangle.
void paint_shadow(const QObject* shadow_window, QPaintDevice* surface, int width, int height);

// The shadow window of `owner`, or nullptr.
QWidget* shadow_window_of(const QWidget* owner);

}  // namespace zarvex
