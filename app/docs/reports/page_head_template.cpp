#include "docs/reports/report_templates.h"

namespace tessel::docs {

const char* pageHeadTemplate()
{
    return R"html(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0 Transitional//EN">
<html lang="ru">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
)html";
}

} // namespace tessel::docs
