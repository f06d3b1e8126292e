#include "GlShaders.h"

namespace platform {

// Lighting is computed at the vertices and interpolated (Gouraud), as the fixed-function
// pipeline does; the texture stages and the specular sum are applied per pixel.
const char* const kSceneVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aTexCoord;
layout(location = 3) in vec4 aColor;
layout(location = 4) in mat4 aWorld;        // drawn as instances: each one's world
layout(location = 8) in mat3 aNormalMatrix; // and the matrix its normals turn with
uniform bool uInstanced;
uniform mat4 uWorld;
uniform mat4 uView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform bool uPreTransformed;
uniform bool uHasColor;
uniform vec2 uScreenSize;
uniform bool uLighting;
uniform bool uSpecular;
uniform vec4 uMaterialDiffuse;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialSpecular;
uniform vec4 uMaterialEmissive;
uniform float uMaterialPower;
uniform bool uLightEnabled;
uniform vec3 uLightPosition;
uniform vec4 uLightDiffuse;
uniform vec4 uLightAmbient;
uniform vec4 uLightSpecular;
uniform float uLightRange;
uniform vec3 uAttenuation;
uniform vec4 uGlobalAmbient;
uniform vec3 uEye;
out vec2 vTexCoord;
out vec4 vColor;
out vec3 vSpecular;
void main() {
    vTexCoord = aTexCoord;
    vColor = uHasColor ? aColor : vec4(1.0);
    vSpecular = vec3(0.0);
    if (uPreTransformed) {
        // Screen pixels with y down, depth 0..1 and the reciprocal of w.
        float w = aPosition.w != 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 ndc = vec2(aPosition.x / uScreenSize.x * 2.0 - 1.0,
                        1.0 - aPosition.y / uScreenSize.y * 2.0);
        gl_Position = vec4(ndc * w, (aPosition.z * 2.0 - 1.0) * w, w);
        return;
    }
    vec4 world = (uInstanced ? aWorld : uWorld) * vec4(aPosition.xyz, 1.0);
    vec4 clip = uProjection * (uView * world);
    // Depth from 0..w (Direct3D) to -w..w (OpenGL).
    gl_Position = vec4(clip.x, clip.y, 2.0 * clip.z - clip.w, clip.w);
    if (!uLighting) {
        return;
    }
    vec4 materialDiffuse = uHasColor ? aColor : uMaterialDiffuse;
    vec3 lit = uMaterialEmissive.rgb + uMaterialAmbient.rgb * uGlobalAmbient.rgb;
    if (uLightEnabled) {
        vec3 toLight = uLightPosition - world.xyz;
        float d = length(toLight);
        if (d <= uLightRange) {
            float denominator = uAttenuation.x + uAttenuation.y * d + uAttenuation.z * d * d;
            float attenuation = denominator > 0.0 ? 1.0 / denominator : 1.0;
            vec3 normal = (uInstanced ? aNormalMatrix : uNormalMatrix) * aNormal;
            vec3 N = length(normal) > 0.0 ? normalize(normal) : vec3(0.0);
            vec3 L = d > 0.0 ? toLight / d : vec3(0.0);
            float diffuse = max(dot(N, L), 0.0);
            lit += uMaterialAmbient.rgb * uLightAmbient.rgb * attenuation
                 + materialDiffuse.rgb * uLightDiffuse.rgb * diffuse * attenuation;
            if (uSpecular && diffuse > 0.0) {
                vec3 H = normalize(L + normalize(uEye - world.xyz));
                vSpecular = uMaterialSpecular.rgb * uLightSpecular.rgb
                          * pow(max(dot(N, H), 0.0), uMaterialPower) * attenuation;
            }
        }
    }
    vColor = vec4(clamp(lit, 0.0, 1.0), materialDiffuse.a);
}
)";

const char* const kSceneFragmentShader = R"(#version 330 core
in vec2 vTexCoord;
in vec4 vColor;
in vec3 vSpecular;
uniform bool uHasTexture0;
uniform bool uHasTexture1;
uniform bool uStage1Modulate;
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
out vec4 fragColor;
void main() {
    vec4 color = vColor;
    if (uHasTexture0) {
        color *= texture(uTexture0, vTexCoord);
    }
    if (uStage1Modulate) {
        color.rgb *= uHasTexture1 ? texture(uTexture1, vTexCoord).rgb : vec3(1.0);
    }
    fragColor = vec4(clamp(color.rgb + vSpecular, 0.0, 1.0), color.a);
}
)";

const char* const kScreenVertexShader = R"(#version 330 core
layout(location = 0) in vec2 aPosition;
layout(location = 2) in vec2 aTexCoord;
uniform vec2 uScreenSize;
out vec2 vTexCoord;
void main() {
    vTexCoord = aTexCoord;
    gl_Position = vec4(aPosition.x / uScreenSize.x * 2.0 - 1.0,
                       1.0 - aPosition.y / uScreenSize.y * 2.0, 0.0, 1.0);
}
)";

const char* const kScreenFragmentShader = R"(#version 330 core
in vec2 vTexCoord;
uniform bool uHasTexture;
uniform vec4 uColor;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
    fragColor = uColor * (uHasTexture ? texture(uTexture, vTexCoord) : vec4(1.0));
}
)";

namespace {

GLuint CompileShader(GLenum kind, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = std::string("Shader: ") + log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

CGlProgram LinkProgram(const char* vertexSource, const char* fragmentSource, std::string& error) {
    const GLuint vertex = CompileShader(GL_VERTEX_SHADER, vertexSource, error);
    const GLuint fragment =
        vertex != 0 ? CompileShader(GL_FRAGMENT_SHADER, fragmentSource, error) : 0;
    if (fragment == 0) {
        if (vertex != 0) {
            glDeleteShader(vertex);
        }
        return CGlProgram();
    }
    CGlProgram program(glCreateProgram());
    glAttachShader(program.Get(), vertex);
    glAttachShader(program.Get(), fragment);
    glLinkProgram(program.Get());
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program.Get(), GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = {};
        glGetProgramInfoLog(program.Get(), sizeof log, nullptr, log);
        error = std::string("Shader program: ") + log;
        return CGlProgram();
    }
    return program;
}

} // namespace platform
