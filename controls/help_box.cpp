// The help box (see help_box.h).
#include "controls/help_box.h"

#include "controls/view_controls.h"
#include "platform/platform_api.h"
#include "records/texts.h"

// Caption "Quillmere viewer" and the version, information icon, OK. No frame is drawn while
// it is up; the keys and the mouse act again once it is answered.
void ShowHelpIfAsked() {
  if (!KeyPressed('H')) return;
  MessageBoxA(nullptr, MSG_HELP, CAPTION_HELP, MB_OK | MB_ICONINFORMATION);
}
