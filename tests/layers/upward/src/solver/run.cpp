#include "solver/run.h"
#include "model/upward.h"
#include "graphics/drawing.h"
#include "simulation/frmError.h"
#include <QWidget>
#include <vector>
