#include "ComponentMembers.h"

namespace {

// The declarations live in a plain child object of the window, so that they
// go with it and the component model (owners, names) never sees them.
class TMemberList : public QObject {
public:
  explicit TMemberList(QObject* window) : QObject(window) {}
  std::vector<TComponentMember> members;
};

TMemberList* MemberList(const TComponent* window) {
  for (QObject* child : window->children())
    if (auto* list = dynamic_cast<TMemberList*>(child)) return list;
  return nullptr;
}

}  // namespace

void DeclareComponentMember(TComponent* window, TComponentMember member) {
  TMemberList* list = MemberList(window);
  if (!list) list = new TMemberList(window);
  list->members.push_back(std::move(member));
}

std::vector<TComponentMember> DeclaredComponentMembers(const TComponent* window) {
  const TMemberList* list = MemberList(window);
  return list ? list->members : std::vector<TComponentMember>();
}
