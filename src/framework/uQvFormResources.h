#pragma once
// Stored layouts compiled into the program. The build adds a text form file with
// qv_add_form(<target> <file>) under the file's base name ("frmLogin.qvf" is "frmLogin");
// a form, frame or data module reads its own in its constructor, after the base class's
// constructor read the base layout, so its components exist with their stored values
// before any code of the class uses them. Loaded(), Created() and OnCreate follow in
// AfterConstruction (Create<T>, CreateForm).

#include <string_view>

#include "framework/uQvClasses.h"

class EResNotFound : public EQvError {
public:
    using EQvError::EQvError;
};

// Reads the layout named Name into Root. Raises EResNotFound "Resource <Name> not found"
// when the program holds none, and EReadError when it cannot be read.
void ReadFormResource(TComponent* Root, std::string_view Name);
bool FormResourceExists(std::string_view Name);
