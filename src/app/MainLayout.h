#pragma once
#include "forms/FormLayout.h"

// The main window's design: every component in design order, the order in which the form
// creates them and the localiser visits them. Component names are Resource.ini keys.
extern const FormLayout kMainFormLayout;
