#pragma once
// Registers the game's node kinds with the node factory, so that scene files
// read after it can name them.
void registerGameNodeKinds();
