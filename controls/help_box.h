// H: the help box, listing every key and mouse action.
#pragma once

// Shows the help box, modal and without an owner, when H was pressed since the last frame.
void ShowHelpIfAsked();
