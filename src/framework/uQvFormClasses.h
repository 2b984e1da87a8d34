#pragma once
// Registration of the form, frame and timer classes and their enumerations with their
// stored properties (after the control classes). Calling it again does nothing.

void RegisterQvForms();
