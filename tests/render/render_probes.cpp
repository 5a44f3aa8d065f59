// render_probes.cpp -- the --wrap definitions. The linker sends the
// renderer's calls of the wrapped symbols here; __real_<symbol> is the
// original. C++ symbols are wrapped by their mangled names.
#include "tests/render/render_probes.h"

#include "image/image.h"

#include <cstdlib>

namespace {

bool g_layerProbeOn;
ProbeLayer g_currentLayer = PROBE_LAYER_COUNT;
LayerRecord g_layers[PROBE_LAYER_COUNT];
std::vector<ProbeLayer> g_layerOrder;
std::vector<PrimitiveRecord> g_primitives;
bool g_inPrimitive;

constexpr int IMAGE_EVENT_LIMIT = 4096;
bool g_imageProbeOn;
ImageEvent g_imageEvents[IMAGE_EVENT_LIMIT];
int g_imageEventCount;

void RecordImageEvent(bool loaded, const void* block, const void* pixels) {
    if (g_imageProbeOn && g_imageEventCount < IMAGE_EVENT_LIMIT) {
        g_imageEvents[g_imageEventCount++] = ImageEvent{loaded, block, pixels};
    }
}

void EnterLayer(ProbeLayer layer) {
    if (!g_layerProbeOn) {
        return;
    }
    g_currentLayer = layer;
    LayerRecord& record = g_layers[layer];
    if (record.calls == 0) {
        record.entry = QueryGlState();
    }
    record.calls++;
    g_layerOrder.push_back(layer);
}

void LeaveLayer() {
    g_currentLayer = PROBE_LAYER_COUNT;
}

void BeginPrimitive(bool cylinder, GLdouble base, GLdouble top, GLdouble height) {
    if (!g_layerProbeOn || g_currentLayer == PROBE_LAYER_COUNT) {
        return;
    }
    PrimitiveRecord record{};
    record.layer = g_currentLayer;
    record.cylinder = cylinder;
    record.state = QueryGlState();
    glGetFloatv(GL_MODELVIEW_MATRIX, record.modelview);
    record.cylinderShape[0] = base;
    record.cylinderShape[1] = top;
    record.cylinderShape[2] = height;
    g_primitives.push_back(record);
    if (!g_layers[g_currentLayer].firstPrimitive.recorded) {
        g_layers[g_currentLayer].firstPrimitive = record.state;
    }
}

}  // namespace

GlStateRecord QueryGlState() {
    GlStateRecord state{};
    state.recorded = true;
    state.depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    state.blend = glIsEnabled(GL_BLEND) == GL_TRUE;
    state.texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &state.blendSource);
    glGetIntegerv(GL_BLEND_DST, &state.blendDestination);
    glGetFloatv(GL_CURRENT_COLOR, state.color);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &state.boundTexture);
    return state;
}

void StartLayerProbe() {
    for (LayerRecord& record : g_layers) {
        record = LayerRecord{};
    }
    g_layerOrder.clear();
    g_primitives.clear();
    g_inPrimitive = false;
    g_currentLayer = PROBE_LAYER_COUNT;
    g_layerProbeOn = true;
}

void StopLayerProbe() {
    g_layerProbeOn = false;
}

const LayerRecord& ProbedLayer(ProbeLayer layer) {
    return g_layers[layer];
}

const std::vector<ProbeLayer>& ProbedLayerOrder() {
    return g_layerOrder;
}

const std::vector<PrimitiveRecord>& ProbedPrimitives() {
    return g_primitives;
}

std::vector<PrimitiveRecord> ProbedPrimitivesOf(ProbeLayer layer) {
    std::vector<PrimitiveRecord> found;
    for (const PrimitiveRecord& record : g_primitives) {
        if (record.layer == layer) {
            found.push_back(record);
        }
    }
    return found;
}

void StartImageProbe() {
    g_imageEventCount = 0;
    g_imageProbeOn = true;
}

void StopImageProbe() {
    g_imageProbeOn = false;
}

std::vector<ImageEvent> ProbedImageEvents() {
    bool was = g_imageProbeOn;
    g_imageProbeOn = false;  // the copy below allocates and frees
    std::vector<ImageEvent> events(g_imageEvents, g_imageEvents + g_imageEventCount);
    g_imageProbeOn = was;
    return events;
}

extern "C" {

void __real_glBegin(GLenum mode);
void __wrap_glBegin(GLenum mode) {
    BeginPrimitive(false, 0, 0, 0);
    g_inPrimitive = g_layerProbeOn && g_currentLayer != PROBE_LAYER_COUNT;
    __real_glBegin(mode);
}

void __real_glEnd();
void __wrap_glEnd() {
    g_inPrimitive = false;
    __real_glEnd();
}

void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (g_inPrimitive && !g_primitives.empty()) {
        g_primitives.back().vertices.push_back(Vertex3{x, y, z});
    }
    __real_glVertex3f(x, y, z);
}

void __real_gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                        GLint stacks);
void __wrap_gluCylinder(GLUquadric* quadric, GLdouble base, GLdouble top, GLdouble height, GLint slices,
                        GLint stacks) {
    BeginPrimitive(true, base, top, height);
    __real_gluCylinder(quadric, base, top, height, slices, stacks);
}

void __real_free(void* block);
void __wrap_free(void* block) {
    RecordImageEvent(false, block, nullptr);
    __real_free(block);
}

RgbImage* __real__Z13LoadImageFilePKc(const char* path);
RgbImage* __wrap__Z13LoadImageFilePKc(const char* path) {
    RgbImage* image = __real__Z13LoadImageFilePKc(path);
    if (image != nullptr) {
        RecordImageEvent(true, image, image->pixels);
    }
    return image;
}

// void DrawSky() is _Z7DrawSkyv, and so on.
#define PROBE_WRAP_LAYER(mangled, layer) \
    void __real_##mangled();             \
    void __wrap_##mangled() {            \
        EnterLayer(layer);               \
        __real_##mangled();              \
        LeaveLayer();                    \
    }

PROBE_WRAP_LAYER(_Z7DrawSkyv, PROBE_SKY)
PROBE_WRAP_LAYER(_Z13DrawStarFieldv, PROBE_STAR_FIELD)
PROBE_WRAP_LAYER(_Z8DrawMoonv, PROBE_MOON)
PROBE_WRAP_LAYER(_Z10DrawCloudsv, PROBE_CLOUDS)
PROBE_WRAP_LAYER(_Z11DrawTerrainv, PROBE_TERRAIN)
PROBE_WRAP_LAYER(_Z12DrawFireGlowv, PROBE_FIRE_GLOW)
PROBE_WRAP_LAYER(_Z9DrawWaterv, PROBE_WATER)
PROBE_WRAP_LAYER(_Z17DrawWindParticlesv, PROBE_WIND_PARTICLES)
PROBE_WRAP_LAYER(_Z12DrawFlagpolev, PROBE_FLAGPOLE)
PROBE_WRAP_LAYER(_Z9DrawTreesv, PROBE_TREES)
PROBE_WRAP_LAYER(_Z8DrawFlagv, PROBE_FLAG)
PROBE_WRAP_LAYER(_Z17DrawFireParticlesv, PROBE_FIRE_PARTICLES)
PROBE_WRAP_LAYER(_Z11DrawIconRowv, PROBE_ICON_ROW)

}  // extern "C"
