#pragma once
// Registers the world's self-drawing effect kinds (hint sparkles, weather)
// with the node factory.
void registerWorldNodeKinds();
