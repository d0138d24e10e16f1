#include "template/text.h"

namespace NL::Template::Private {

Text::Text(std::string text) : m_text(std::move(text)) {}

void Text::render(std::ostream& out, const Dictionary&) const { out << m_text; }

std::unique_ptr<Fragment> Text::clone() const { return std::make_unique<Text>(m_text); }

} // namespace NL::Template::Private
