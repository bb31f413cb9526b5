// The grammar of X files, whatever their encoding: templates, data objects, references and
// frames, read from a token source, with every Mesh merged into one triangle mesh.
// Promises: Frame transforms are applied to the positions (each frame's matrix composed with
// its parents' once); polygons become fans; a vertex given different MeshNormals values at
// different corners is duplicated after the file's vertices; counts are checked against what
// the input can still hold before anything is sized from them; the whole file is refused on
// the first inconsistency, or when a transformed position is not finite.
// Does not: keep materials, normal values, skin or animation data, or follow references to
// objects declared elsewhere (templates and references are skipped).
#pragma once

#include "render/xfile.h"
#include "render/xfile_token.h"

// Reads every object `tokens` holds. On failure `out` is left untouched.
bool ParseXTokens(XTokenSource& tokens, XMesh& out);
