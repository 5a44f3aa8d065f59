// render_probes.h -- observation points linked around the renderer with the
// linker's --wrap: the entry of each layer (as RenderFrame calls it), the
// first primitive of each layer (glBegin or gluCylinder from the renderer's
// own code), the images the texture loading receives and the blocks it frees.
// Nothing is recorded unless a probe has been started.
#pragma once

#include "render/render.h"

#include <vector>

enum ProbeLayer {
    PROBE_SKY,
    PROBE_STAR_FIELD,
    PROBE_MOON,
    PROBE_CLOUDS,
    PROBE_TERRAIN,
    PROBE_FIRE_GLOW,
    PROBE_WATER,
    PROBE_WIND_PARTICLES,
    PROBE_FLAGPOLE,
    PROBE_TREES,
    PROBE_FLAG,
    PROBE_FIRE_PARTICLES,
    PROBE_ICON_ROW,
    PROBE_LAYER_COUNT
};

// The fixed-function state at one moment.
struct GlStateRecord {
    bool recorded;
    bool depthTest;
    bool blend;
    bool texturing;
    GLint blendSource;
    GLint blendDestination;
    GLfloat color[4];
    GLint boundTexture;
};

struct Vertex3 {
    float x, y, z;
};

// One glBegin/glEnd pair or one cylinder issued by a layer.
struct PrimitiveRecord {
    ProbeLayer layer;
    bool cylinder;
    GlStateRecord state;            // just before it
    GLfloat modelview[16];          // column-major
    double cylinderShape[3];        // base radius, top radius, height
    std::vector<Vertex3> vertices;  // glVertex3f calls, for glBegin pairs
};

struct LayerRecord {
    GlStateRecord entry;           // when RenderFrame calls the layer
    GlStateRecord firstPrimitive;  // at the layer's first glBegin or gluCylinder
    int calls;                     // times the layer was called
};

// Records the layers from now on, every record cleared; order lists the
// layers in the order they were entered.
void StartLayerProbe();
void StopLayerProbe();
const LayerRecord& ProbedLayer(ProbeLayer layer);
const std::vector<ProbeLayer>& ProbedLayerOrder();
// Every primitive since StartLayerProbe, in order.
const std::vector<PrimitiveRecord>& ProbedPrimitives();
// Those of one layer.
std::vector<PrimitiveRecord> ProbedPrimitivesOf(ProbeLayer layer);
GlStateRecord QueryGlState();

struct ImageEvent {
    bool loaded;  // true: LoadImageFile returned image; false: free(block)
    const void* block;
    const void* pixels;  // of a loaded image
};

// Records LoadImageFile results and frees from now on, the list cleared.
void StartImageProbe();
void StopImageProbe();
std::vector<ImageEvent> ProbedImageEvents();
