#include "db/schemaupgrade.h"
