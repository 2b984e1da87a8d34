#pragma once
// The form-skinning classes for stored layouts: the form skin with its options and
// title-bar menu settings, the title-bar controls and the shadow border. Calling it again
// does nothing more.

void RegisterPelluxForms();
