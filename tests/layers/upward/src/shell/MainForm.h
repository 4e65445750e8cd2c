#pragma once
#include "model/upward.h"
