#pragma once
// The engine's text, container and geometry types are Irrlicht's core types.
#include <irrlicht.h>
#include <cstdint>

namespace engine {

using stringc = irr::core::stringc;
using stringw = irr::core::stringw;
template <class T> using array = irr::core::array<T>;
using vector2df = irr::core::vector2df;
using vector3df = irr::core::vector3df;
using rectf = irr::core::rectf;
using recti = irr::core::recti;
using matrix4 = irr::core::matrix4;
using SColor = irr::video::SColor;
using SColorf = irr::video::SColorf;

}  // namespace engine
