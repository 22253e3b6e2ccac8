// The single instances of the viewer's process-wide records.
#include "records/app_state.h"

ViewState viewState;
FrameRateMeter frameRateMeter;
KeyTable keyTable;
WindowContext windowContext;
PointTable pointTable;
LoadedFileInfo loadedFileInfo;
CloudBounds cloudBounds;
FramingState framingState;
HeightColours heightColours;
PointerState pointerState;
FrameSampling frameSampling;
DroppedFile droppedFile;

void ResetAppState() {
  viewState = ViewState{};
  frameRateMeter = FrameRateMeter{};
  keyTable = KeyTable{};
  windowContext = WindowContext{};
  pointTable = PointTable{};
  loadedFileInfo = LoadedFileInfo{};
  cloudBounds = CloudBounds{};
  framingState = FramingState{};
  heightColours = HeightColours{};
  pointerState = PointerState{};
  frameSampling = FrameSampling{};
  droppedFile = DroppedFile{};
}
