#pragma once

#include <algorithm>

namespace tarvo {

// Something that follows one observable data object at a time (the toolbar follows
// the selected page's navigation history). The data type keeps a vector of
// listener pointers and offers AddListener/RemoveListener.
//
// Threads: the main window's thread only.
template <class Data>
class IListener {
 public:
  virtual ~IListener() {
    if (data_ != nullptr) data_->RemoveListener(this);
  }

  // Called by the data object after every change; `data` is the object that changed.
  virtual void OnDataChanged(const Data& data) = 0;

  // Follows `data` from now on (nullptr: nothing). The listener is taken out of the
  // old object's list before it joins the new one's, so it never hears both.
  void Subscribe(Data* data) {
    if (data_ == data) return;
    if (data_ != nullptr) data_->RemoveListener(this);
    data_ = data;
    if (data_ != nullptr) data_->AddListener(this);
  }

  // The object followed now, or nullptr. Non-owning.
  Data* Subscribed() const { return data_; }

  // Called by a data object that is going away, so the listener never touches it again.
  void Forget(const Data* data) {
    if (data_ == data) data_ = nullptr;
  }

 private:
  Data* data_ = nullptr;  // not owned: the page that owns the data outlives the subscription
};

}  // namespace tarvo
