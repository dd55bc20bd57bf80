#include "reports/form_data.h"
