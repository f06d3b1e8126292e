#pragma once

#include "GlObjects.h"

#include <string>

// The shader programs of the graphics device: the scene, which reproduces the fixed-function
// pipeline's part that the game uses, and the 2D pictures and text.
namespace platform {

extern const char* const kSceneVertexShader;
extern const char* const kSceneFragmentShader;
extern const char* const kScreenVertexShader;
extern const char* const kScreenFragmentShader;

// The program of the two sources; an empty one, with the compiler's or linker's message in
// error, when they do not build.
CGlProgram LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& error);

} // namespace platform
