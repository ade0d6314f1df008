// Layers and their collection: membership, list-change reports, destruction
// order, free notification and change propagation up to the image control.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "raster/exceptions.h"
#include "raster/image32.h"
#include "raster/layer_collection.h"

namespace vesk::raster {
namespace {

using Log = std::vector<std::string>;

// Names by address: the base part of a layer reports after the derived part
// is gone, so the name cannot live in the derived object.
std::map<const TCustomLayer*, std::string>& Names() {
  static std::map<const TCustomLayer*, std::string> names;
  return names;
}
std::string NameOf(const TCustomLayer* layer) { return layer ? Names()[layer] : "-"; }

class TNamedLayer : public TCustomLayer {
 public:
  // The name is registered before the base joins the collection, so the
  // add report can show it.
  TNamedLayer(TLayerCollection* collection, Log* log, const std::string& name)
      : TCustomLayer((Names()[this] = name, collection)), log_(log) {}
  ~TNamedLayer() override { log_->push_back("~" + NameOf(this)); }
  void Paint(TBitmap32&) override { log_->push_back("paint " + NameOf(this)); }
  void Notification(TCustomLayer* layer) override {
    log_->push_back(NameOf(this) + " told of " + NameOf(layer));
  }

 private:
  Log* log_;
};

// Records OnLayerListChange as "add a 0", "remove a 1", "clear - 0".
void RecordListChanges(TLayerCollection& c, Log& log) {
  c.OnLayerListChange = [&log](TLayerCollection*, TLayerListChangeAction action,
                               TCustomLayer* layer, std::int32_t index) {
    const char* what = action == lcaAdd ? "add " : action == lcaRemove ? "remove " : "clear ";
    log.push_back(what + NameOf(layer) + " " + std::to_string(index));
  };
}

TEST(LayerCollection, CreationAndReparentingReportListChanges) {
  Log log;
  TLayerCollection first, second;
  RecordListChanges(first, log);
  RecordListChanges(second, log);
  int first_changes = 0;
  first.OnChange = [&](TObject*) { ++first_changes; };

  auto* a = first.Add<TNamedLayer>(&log, "a");
  auto* b = first.Add<TNamedLayer>(&log, "b");
  EXPECT_EQ(a->LayerFlags(), kLayerVisible);
  EXPECT_EQ(first.Count(), 2);
  EXPECT_EQ(first.Items(1), b);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(first_changes, 2);  // each append closes its own update bracket

  first.SetMouseListener(a);
  a->SetLayerCollection(&second);
  EXPECT_EQ(first.MouseListener(), nullptr);
  EXPECT_EQ(a->LayerCollection(), &second);
  EXPECT_EQ(b->Index(), 0);
  a->SetLayerCollection(&second);  // unchanged: nothing
  a->SetLayerCollection(nullptr);
  EXPECT_EQ(a->Index(), -1);
  EXPECT_EQ(log, (Log{"add a 0", "add b 1", "remove a 0", "add a 0", "remove a 0"}));
  delete a;
}

TEST(LayerCollection, DestructionFreesLayersLastFirstWithoutReportingChanges) {
  Log log;
  int changes = 0;
  {
    TLayerCollection c;
    c.Add<TNamedLayer>(&log, "text");
    c.Add<TNamedLayer>(&log, "hour");
    c.Add<TNamedLayer>(&log, "minute");
    RecordListChanges(c, log);
    c.OnChange = [&](TObject*) { ++changes; };
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(log, (Log{"~minute", "remove minute 2", "~hour", "remove hour 1", "~text",
                      "remove text 0", "clear - 0"}));
}

TEST(LayerCollection, ClearFreesEveryLayerInsideOneBracket) {
  Log log;
  TLayerCollection c;
  c.Add<TNamedLayer>(&log, "a");
  c.Add<TNamedLayer>(&log, "b");
  RecordListChanges(c, log);
  int changes = 0, before = 0;
  c.OnChange = [&](TObject*) { ++changes; };
  c.OnBeforeChange = [&](TObject*) { ++before; };
  c.Clear();
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(before, 1);
  EXPECT_EQ(log, (Log{"~b", "remove b 1", "~a", "remove a 0", "clear - 0"}));
}

TEST(CustomLayer, DestroyFiresOnDestroyThenNotifiesLastToFirstThenLeaves) {
  Log log;
  TLayerCollection c;
  RecordListChanges(c, log);
  auto* subject = c.Add<TNamedLayer>(&log, "subject");
  auto* x = c.Add<TNamedLayer>(&log, "x");
  auto* y = c.Add<TNamedLayer>(&log, "y");
  subject->AddNotification(x);
  subject->AddNotification(y);
  subject->AddNotification(x);  // once only
  subject->OnDestroy = [&](TObject*) { log.push_back("OnDestroy"); };
  log.clear();
  delete subject;
  // The subclass's destructor runs first, then the base reports.
  EXPECT_EQ(log, (Log{"~subject", "OnDestroy", "y told of subject", "x told of subject",
                      "remove subject 0"}));
  EXPECT_EQ(x->Index(), 0);
}

TEST(CustomLayer, RegistrationsDieWithEitherLayer) {
  Log log;
  auto* watcher = new TNamedLayer(nullptr, &log, "watcher");
  auto* subject = new TNamedLayer(nullptr, &log, "subject");
  subject->AddNotification(watcher);
  delete watcher;  // must drop itself from subject's list
  log.clear();
  delete subject;
  EXPECT_EQ(log, (Log{"~subject"}));

  auto* w2 = new TNamedLayer(nullptr, &log, "w2");
  auto* s2 = new TNamedLayer(nullptr, &log, "s2");
  s2->AddNotification(w2);
  s2->RemoveNotification(w2);
  log.clear();
  delete s2;
  delete w2;
  EXPECT_EQ(log, (Log{"~s2", "~w2"}));
}

TEST(CustomLayer, FailedConstructionLeavesNoLayerBehind) {
  Log log;
  TLayerCollection c;
  c.OnLayerListChange = [](TLayerCollection*, TLayerListChangeAction action, TCustomLayer*,
                           std::int32_t) {
    if (action == lcaAdd) throw Exception("refused");
  };
  EXPECT_THROW(c.Add<TNamedLayer>(&log, "a"), Exception);
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.UpdateCount(), 0);
}

// Counts what reaches each stage of the chain layer -> collection -> image.
struct Counters {
  int image = 0, layer_updates = 0, gdi = 0, layer_own = 0;
};

class LayerChanges : public ::testing::Test {
 protected:
  LayerChanges() {
    image.OnChange = [this](TObject*) { ++n.image; };
    image.Layers().OnLayerUpdate = [this](TLayerCollection*, TCustomLayer*) { ++n.layer_updates; };
    image.Layers().OnGDIUpdate = [this](TObject*) { ++n.gdi; };
    layer = image.Layers().Add<TCustomLayer>();
    layer->OnChange = [this](TObject*) { ++n.layer_own; };
    n = {};
  }
  Counters Run(std::uint32_t flags) {
    layer->SetLayerFlags(flags);
    n = {};
    layer->Changed();
    return n;
  }
  TImage32 image;
  TCustomLayer* layer = nullptr;
  Counters n;
};

TEST_F(LayerChanges, VisibleLayerReachesTheImageTwice) {
  const Counters c = Run(kLayerVisible);
  EXPECT_EQ(c.image, 2);
  EXPECT_EQ(c.layer_updates, 1);
  EXPECT_EQ(c.gdi, 0);
  EXPECT_EQ(c.layer_own, 1);
}

TEST_F(LayerChanges, InvisibleLayersReportOnlyWithTheirBits) {
  Counters c = Run(0);
  EXPECT_EQ(c.image, 0);
  EXPECT_EQ(c.layer_updates, 0);
  EXPECT_EQ(c.layer_own, 1);

  c = Run(kLayerForceUpdate);
  EXPECT_EQ(c.image, 1);
  EXPECT_EQ(c.layer_updates, 1);

  c = Run(kLayerGdiOverlay);
  EXPECT_EQ(c.image, 0);
  EXPECT_EQ(c.gdi, 1);
  image.Layers().BeginUpdate();  // the GDI update waits for the bracket
  layer->Changed();
  EXPECT_EQ(n.gdi, 1);
  image.Layers().EndUpdate();

  c = Run(kLayerVisible | kLayerNoUpdate);
  EXPECT_EQ(c.image, 0);
  EXPECT_EQ(c.layer_own, 0);
}

TEST_F(LayerChanges, BracketsHoldBackReports) {
  layer->BeginUpdate();
  layer->Changed();
  layer->EndUpdate();  // never reports by itself
  EXPECT_EQ(n.image, 0);
  EXPECT_EQ(n.layer_own, 0);

  image.BeginUpdate();
  layer->Changed();
  EXPECT_EQ(n.image, 0);
  EXPECT_EQ(n.layer_own, 1);
  image.EndUpdate();
  EXPECT_EQ(n.image, 0);

  // The collection's bracket reports once when it closes.
  int before = 0;
  image.Layers().OnBeforeChange = [&](TObject*) { ++before; };
  image.Layers().BeginUpdate();
  image.Layers().BeginUpdate();
  image.Layers().EndUpdate();
  EXPECT_EQ(n.image, 0);
  image.Layers().EndUpdate();
  EXPECT_EQ(n.image, 1);
  EXPECT_EQ(before, 1);
}

TEST_F(LayerChanges, FlagChangesAndLooseLayers) {
  layer->SetLayerFlags(kLayerVisible);  // same value: nothing
  EXPECT_EQ(n.image, 0);
  layer->SetVisible(false);  // the image learns that the layer went away
  EXPECT_GE(n.image, 1);
  EXPECT_EQ(layer->LayerFlags(), 0u);

  // A layer outside any collection reports nothing, not even to itself.
  TCustomLayer loose(nullptr);
  int own = 0;
  loose.OnChange = [&](TObject*) { ++own; };
  loose.Changed();
  EXPECT_EQ(own, 0);
}

TEST(UnpairedEndUpdate, EachLevelHasItsOwnMessageAndRecovers) {
  TImage32 image;
  TCustomLayer* layer = image.Layers().Add<TCustomLayer>();
  int image_changes = 0;
  image.OnChange = [&](TObject*) { ++image_changes; };

  auto message = [](auto&& call) -> std::string {
    try {
      call();
    } catch (const EAssertionFailed& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { layer->EndUpdate(); }), "Unpaired TThreadPersistent.EndUpdate");
  EXPECT_EQ(message([&] { image.Layers().EndUpdate(); }), "Unpaired EndUpdate");
  EXPECT_EQ(message([&] { image.EndUpdate(); }), "Unpaired EndUpdate call");

  // The counts stay at 0, so changes are still reported afterwards.
  EXPECT_EQ(layer->UpdateCount(), 0);
  EXPECT_EQ(image.Layers().UpdateCount(), 0);
  EXPECT_EQ(image.UpdateCount(), 0);
  layer->Changed();
  EXPECT_EQ(image_changes, 2);
  image.Layers().BeginUpdate();
  image.Layers().EndUpdate();
  EXPECT_EQ(image_changes, 3);
}

TEST(CustomLayer, PaintLayerPaintsThenFiresOnPaint) {
  Log log;
  TLayerCollection c;
  auto* layer = c.Add<TNamedLayer>(&log, "l");
  TBitmap32 target;
  layer->OnPaint = [&](TCustomLayer* sender, TBitmap32& buffer) {
    EXPECT_EQ(sender, layer);
    EXPECT_EQ(&buffer, &target);
    log.push_back("OnPaint");
  };
  layer->PaintLayer(target);
  EXPECT_EQ(log, (Log{"paint l", "OnPaint"}));

  EXPECT_TRUE(layer->HitTest(-5, 1000));
  layer->OnHitTest = [](TCustomLayer*, std::int32_t x, std::int32_t, bool& passed) {
    passed = x > 0;
  };
  EXPECT_FALSE(layer->HitTest(-5, 0));
}

TEST(CustomLayer, SetIndexMovesWithinTheCollection) {
  Log log;
  TLayerCollection c;
  auto* a = c.Add<TNamedLayer>(&log, "a");
  auto* b = c.Add<TNamedLayer>(&log, "b");
  auto* d = c.Add<TNamedLayer>(&log, "d");
  d->SetIndex(0);
  EXPECT_EQ(c.Items(0), d);
  EXPECT_EQ(c.Items(1), a);
  a->SetIndex(99);  // clamped to the end
  EXPECT_EQ(c.Items(2), a);
  EXPECT_EQ(b->Index(), 1);
}

TEST(LayerCollection, ViewportDefaultsWithoutAnImage) {
  TLayerCollection c;
  float sx = 0, sy = 0, tx = 5, ty = 5;
  c.GetViewportScale(sx, sy);
  c.GetViewportShift(tx, ty);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(tx, 0.0f);
  EXPECT_EQ(ty, 0.0f);
}

}  // namespace
}  // namespace vesk::raster
