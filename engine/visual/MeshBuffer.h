#pragma once
// A mesh for the quad batcher: vertices, 16-bit indices, the primitive type and
// count to draw them with, and the material. Particle systems and game nodes
// with meshes of their own fill one and queue it with QuadBatcher::addMeshBuffer.
#include "engine/visual/Material.h"

#include <irrlicht.h>

namespace engine {

struct MeshBuffer {
    Material material;
    irr::scene::E_PRIMITIVE_TYPE primitiveType = irr::scene::EPT_TRIANGLES;
    irr::u32 primitiveCount = 0;
    irr::core::array<irr::video::S3DVertex> vertices;
    irr::core::array<irr::u16> indices;
};

}  // namespace engine
