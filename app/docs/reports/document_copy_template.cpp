#include "docs/reports/report_templates.h"

namespace tessel::docs {

const char* documentCopyPageTemplate()
{
    return R"html({% include page_head.html %}<title>Копия электронного документа</title>
<style type="text/css">
* { border: 0; outline: 0; padding: 0; margin: 0; font: inherit; }
body { padding: 20px; font-family: "Times New Roman", Times, serif; }
h1 { text-align: center; font-size: 25px; font-weight: bold; }
h2 { font-weight: bold; text-decoration: underline; font-size: 18px; padding: 5px 0; }
.field { font-style: italic; font-weight: 600; white-space: nowrap; padding-right: 10px; }
.info-block { margin-top: 15px; }
.float-left { float: left; }
.float-right { float: right; }
.certification { padding-top: 100px; }
</style>
</head>
<body>
<h1>Копия электронного документа</h1>
<div class="info-block">
<h2>Данные документа</h2>
<table>
<tr><td class="field">Тип документа:</td><td>{{ msgType }}</td></tr>
<tr><td class="field">Отправитель:</td><td>{{ sender }}</td></tr>
<tr><td class="field">Получатель:</td><td>{{ recipient }}</td></tr>
<tr><td class="field">Номер:</td><td>{{ outDocNum }}</td></tr>
<tr><td class="field">Дата:</td><td>{{ outDocDate }}</td></tr>
{% block req %}<tr><td class="field">В ответ на:</td><td>№ {{ reqDocNum }} от {{ reqDocDate }}</td></tr>
{% endblock %}</table>
</div>
{% block sign %}<div class="info-block">
<h2>Данные об электронной подписи</h2>
<table>
<tr><td class="field">Подлинность документа:</td><td>{{ docState }}</td></tr>
<tr><td class="field">Статус подписи:</td><td>{{ globalSignState }}</td></tr>
<tr><td class="field">Статус сертификата:</td><td>{{ certState }}</td></tr>
<tr><td class="field">Время проверки подписи:</td><td>{{ signCheckTime }}</td></tr>
<tr><td class="field">Данные владельца сертификата:</td><td>{{ subjectName }}</td></tr>
<tr><td class="field">Серийный номер сертификата:</td><td>{{ serialNumber }}</td></tr>
<tr><td class="field">Данные издателя сертификата:</td><td>{{ issuerName }}</td></tr>
<tr><td class="field">Срок действия сертификата:</td><td>С&nbsp;{{ certValidFrom }}&nbsp;по&nbsp;{{ certValidTo }}</td></tr>
</table>
</div>
{% endblock %}{% block ta %}<div class="info-block">
<p>Копия сформирована и выдана Трансфер-агентом "{{ taName }}",<br>
и заверяется печатью и подписью уполномоченного лица Трансфер-агента в соответствии с Правилами ЭДО.</p>
</div>
<div class="certification">
<div class="float-left">«____»__________ 20____ г.</div>
<div class="float-right">
<div>_________________________</div>
<div>(подпись)</div>
<div>&nbsp;</div>
<div>М.П.</div>
</div>
</div>
{% endblock %}</body>
</html>
)html";
}

} // namespace tessel::docs
