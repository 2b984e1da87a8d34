#pragma once
// The tree view unit: the string and draw trees and the registration of the tree classes
// and their stored properties for stored layouts.

#include "treeview/uQvDrawTree.h"
#include "treeview/uQvStringTree.h"

// Registers the tree enumerations, the options, colours and scroll-bar classes, and the
// tree classes (again: nothing happens). Needs the framework's classes registered.
void RegisterQvTreeView();
