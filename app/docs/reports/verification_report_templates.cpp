#include "docs/reports/report_templates.h"

namespace tessel::docs {

const char* verificationPageTemplate()
{
    return R"html({% include page_head.html %}<title>Проверка электронной подписи документа</title>
<style type="text/css">
.header { text-align: center; }
.field { font-weight: bold; }
.value { font-weight: normal; }
.panel { padding: 5px 0; }
.panelSignInfo { border-top: solid 1px; padding-top: 15px; }
.msg { }
.wrong { color: red; }
</style>
</head>
<body>
<h2 class="header">Проверка электронной подписи документа</h2>
<h3 class="header">Подлинность документа <span style="color: {{ stateColor }}">{{ globalValidity }}</span></h3>
<h3>Отчет о подтверждении подлинности ЭЦП</h3>
<div class="field">Статус подписи: <span class="value">{{ globalSignState }}</span></div>
<div class="field">Статус сертификата: <span class="value">{{ certificateState }}</span></div>
<div class="field">Время проверки ЭЦП: <span class="value">{{ checkTime }}</span></div>
{% block cert %}{% include cert.html %}{% endblock %}
{% block emptySigns %}<div class="msg wrong">Список данных подписи отсутствует</div>{% endblock %}
{% block signs %}{% block signInfo %}
<h4>Подпись {{ what }}</h4>
<div class="panelSignInfo">
<div class="field">Статус подписи блока данных: <span class="value">{{ signState }}</span></div>
{% block cert %}<div class="field">Сертификат лица, подписавшего данные: </div>
<div style="padding-left: 20px">{% include cert.html %}</div>{% endblock %}
<div class="field">Время создания подписи: <span class="value">{{ signTime }}</span></div>
<div class="field">Хэш данных: <span class="value">{{ hash }}</span></div>
{% block exception %}<div class="field">Исключение, возникшее при проверке данных: <span class="value">{{ exception }}</span></div>{% endblock %}
</div>
{% endblock %}{% endblock %}
</body>
</html>
)html";
}

const char* certificatePanelTemplate()
{
    return R"html(<div class="panel">
<div class="field">Владелец сертификата: <span class="value">{{ subjectName }}</span></div>
<div class="field">Орган выдачи сертификата: <span class="value">{{ issuerName }}</span></div>
<div class="field">Сертификат действителен с <span class="value">{{ validFrom }}</span> по <span class="value">{{ validTo }}</span></div>
<div class="field">Серийный номер сертификата: <span class="value">{{ serialNumber }}</span></div>
</div>
)html";
}

} // namespace tessel::docs
