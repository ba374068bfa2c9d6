#pragma once
// Scene files (".oscn"): one tree of nodes in XML, read into nodes and written
// back.
//
//   <?xml version="1.0"?>
//   <SceneNode Type="SceneNode">
//       <Properties> ...values... </Properties>
//       <States>
//           <Properties><string Name="DefaultState" Value="Idle" /></Properties>
//           <State Name="Idle" NextState="Other"> ...animators... </State>
//       </States>
//       <SceneNode Type="SpriteNode"> ... </SceneNode>
//       <SceneNode File="Part.oscn" />
//   </SceneNode>
//
// "ClassOverride" names a preferred kind (used when registered); "File" loads
// another scene file, relative to the folder of the file that names it, as a
// child. Files are written as UTF-16 little-endian with a byte-order mark.
#include "engine/core/NameId.h"
#include "engine/core/Types.h"

namespace engine {

class BaseNode;
class IContentManager;
class NodeFactory;
class XmlReader;
class XmlWriter;

// Reads a whole scene file from a reader that stands before its root element.
// The root is made by the node factory with the context (its content manager
// resolves "File" includes; the file's folder is pushed on it while the root
// reads). Returns the root with one reference for the caller, or null. A file
// that is already being read further up the chain of includes is refused, so
// a file that includes itself cannot recurse. `fileName` names the file in
// messages and on the folder stack.
BaseNode* readSceneFile(XmlReader& reader, const CreationContext& context, const stringc& fileName,
                        NodeFactory* factory = nullptr);

// Writes the XML header and the node's tree. With a file name, it is pushed on
// the node's content manager while writing. False without a node or when the
// writer failed.
bool writeSceneFile(BaseNode* node, XmlWriter& writer, const stringc& fileName = stringc());

// Conveniences for tools and tests: read a scene file from disk (includes go
// through the content manager, when one is given) or write one.
BaseNode* loadSceneFile(const stringc& path, IContentManager* contentManager = nullptr);
bool saveSceneFile(BaseNode* node, const stringc& path);

}  // namespace engine
