// The registry of live queues and the queue-reference field: queues register
// at their first use and leave at release, handles are never given twice,
// and a reference's four bytes lead to a queue only while it lives.
#include "runtime/queue/queue_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "runtime/errors/error_codes.h"
#include "runtime/records/record_reflection.h"

namespace varnok::testing {
namespace {

RecordLayout oneLong() { return RecordLayoutBuilder().longField("N").build(); }

// Name STRING(8), Child QUEUE reference: 12 bytes.
RecordLayout parentLayout() {
    RecordLayoutBuilder b;
    b.string("Name", 8);
    addQueueReference(b, "Child");
    return b.build();
}

void addNumber(Queue& q, int32_t n) {
    std::memcpy(q.buffer(), &n, 4);
    ADD(q);
}

TEST(QueueRegistry, QueueRegistersAtFirstUseAndLeavesAtRelease) {
    Queue q(oneLong());
    EXPECT_EQ(queueHandle(q), 0u) << "not used yet";
    addNumber(q, 7);
    const uint32_t handle = queueHandle(q);
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(liveQueue(handle), q.decl());
    EXPECT_EQ(registerQueue(q), handle) << "a second registration answers the same handle";

    FREE(q);
    EXPECT_EQ(liveQueue(handle), q.decl()) << "FREE empties the queue; it stays alive";

    releaseQueue(q);
    EXPECT_EQ(liveQueue(handle), nullptr);
    EXPECT_EQ(queueHandle(q), 0u);

    addNumber(q, 8);  // the declaration is used again: a new store, a new handle
    const uint32_t again = queueHandle(q);
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, handle) << "handles are never reused";
    EXPECT_EQ(liveQueue(handle), nullptr);
    EXPECT_EQ(liveQueue(again), q.decl());
}

TEST(QueueRegistry, DestroyedQueueObjectNamesNothing) {
    uint32_t handle = 0;
    {
        Queue q(oneLong());
        handle = queueReference(q);
        ASSERT_NE(handle, 0u);
        EXPECT_EQ(liveQueue(handle), q.decl());
    }
    EXPECT_EQ(liveQueue(handle), nullptr);
    // A new queue, very likely at the same address, does not inherit it.
    Queue other(oneLong());
    const uint32_t otherHandle = queueReference(other);
    EXPECT_NE(otherHandle, handle);
    EXPECT_EQ(liveQueue(handle), nullptr);
}

TEST(QueueRegistry, UnknownHandlesAndMissingDeclarations) {
    EXPECT_EQ(liveQueue(0), nullptr);
    EXPECT_EQ(liveQueue(0xFFFFFFF0u), nullptr);
    EXPECT_EQ(registerQueue(nullptr), 0u);
    EXPECT_EQ(queueReference(nullptr), 0u);
    unregisterQueue(nullptr);  // nothing happens

    // A declaration whose store cannot be made is never registered.
    RecordLayout layout = RecordLayoutBuilder().string("S", 16).build();
    uint8_t buffer[4] = {};
    QueueDecl bad;
    bad.buffer = buffer;
    bad.layout = &layout;
    bad.recordSize = 4;  // smaller than the layout
    EXPECT_EQ(queueReference(&bad), 0u);
    EXPECT_EQ(bad.store, nullptr);
}

TEST(QueueRegistry, QueueReferenceKeepsTheCallersErrorCode) {
    Queue q(oneLong());
    postError(30);
    EXPECT_NE(queueReference(q), 0u);
    EXPECT_EQ(errorCode(), 30);
    clearError();
    Queue r(oneLong());
    EXPECT_NE(queueReference(r), 0u);
    EXPECT_EQ(errorCode(), NoError);
}

TEST(QueueRegistry, ReferenceFieldRoundTripsThroughTheRecordsText) {
    Queue child(oneLong());
    addNumber(child, 1);
    addNumber(child, 2);
    Queue parent(parentLayout());
    const FieldDesc* field = parent.layout().field(2);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->type, FieldType::Queue);
    EXPECT_EQ(field->size, QueueReferenceSize);

    std::memcpy(parent.buffer(), "first   ", 8);
    storeQueueReference(parent.buffer() + field->offset, child);
    EXPECT_EQ(loadQueueReference(parent.buffer() + field->offset), queueHandle(child));
    ADD(parent);
    GET(parent, 1);

    // What the viewer sees of the cell: its four bytes, as text.
    const std::string text = reflectFieldValue(parent.decl(), 2);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(queueFromReferenceText(text), child.decl());

    // Texts that are not four characters, or name nothing, lead nowhere.
    EXPECT_EQ(queueFromReferenceText(text.substr(0, 3)), nullptr);
    EXPECT_EQ(queueFromReferenceText(text + " "), nullptr);
    EXPECT_EQ(queueFromReferenceText("ABCD"), nullptr);
    EXPECT_EQ(queueFromReferenceText(std::string(4, '\0')), nullptr);

    releaseQueue(child);
    EXPECT_EQ(queueFromReferenceText(text), nullptr) << "a released queue is no longer followed";

    storeQueueReference(parent.buffer() + field->offset, nullptr);
    EXPECT_EQ(loadQueueReference(parent.buffer() + field->offset), 0u);
}

// Random creations and releases over a pool of queues, against a model: the
// registry answers exactly the live queues, and no handle is given twice.
TEST(QueueRegistry, AgreesWithAModelOverRandomLifetimes) {
    std::mt19937 random(12345);
    std::vector<std::unique_ptr<Queue>> pool(24);
    std::map<uint32_t, const QueueDecl*> model;  // live handle -> queue
    std::set<uint32_t> given;
    const size_t before = liveQueueCount();

    for (int step = 0; step < 3000; ++step) {
        const size_t i = random() % pool.size();
        switch (random() % 4) {
        case 0:  // a new queue object in the slot (the old one goes)
            if (pool[i]) model.erase(queueHandle(*pool[i]));
            pool[i] = std::make_unique<Queue>(oneLong());
            break;
        case 1:  // first use, or more use
            if (pool[i]) {
                addNumber(*pool[i], step);
                const uint32_t h = queueHandle(*pool[i]);
                ASSERT_NE(h, 0u);
                if (!model.count(h)) {
                    EXPECT_TRUE(given.insert(h).second) << "handle " << h << " given twice";
                    model[h] = pool[i]->decl();
                }
            }
            break;
        case 2:  // release
            if (pool[i]) {
                model.erase(queueHandle(*pool[i]));
                releaseQueue(*pool[i]);
            }
            break;
        case 3:  // the object goes
            if (pool[i]) model.erase(queueHandle(*pool[i]));
            pool[i].reset();
            break;
        }
        if (step % 50 == 0) {
            ASSERT_EQ(liveQueueCount(), before + model.size());
            for (uint32_t h : given) {
                auto it = model.find(h);
                EXPECT_EQ(liveQueue(h), it == model.end() ? nullptr : it->second) << "handle " << h;
            }
        }
    }
}

TEST(QueueRegistry, ThreadsRegisteringAtOnceGetDistinctHandles) {
    constexpr int Threads = 4, PerThread = 200;
    std::vector<std::vector<uint32_t>> handles(Threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([t, &handles] {
            for (int i = 0; i < PerThread; ++i) {
                Queue q(oneLong());
                const uint32_t h = queueReference(q);
                if (liveQueue(h) != q.decl()) return;  // checked below by the count
                handles[t].push_back(h);
            }
        });
    }
    for (std::thread& w : workers) w.join();
    std::set<uint32_t> all;
    for (const auto& list : handles) {
        EXPECT_EQ(list.size(), size_t(PerThread));
        for (uint32_t h : list) {
            EXPECT_NE(h, 0u);
            all.insert(h);
        }
    }
    EXPECT_EQ(all.size(), size_t(Threads * PerThread));
    for (uint32_t h : all) EXPECT_EQ(liveQueue(h), nullptr);
}

// Runs last in this file: it moves the handle counter far ahead.
TEST(QueueRegistry, HandlesEndingInASpaceAreSkippedAndTheCounterNeverGoesBack) {
    skipQueueHandlesTo(0x1FFFFFFF);
    Queue a(oneLong()), b(oneLong()), c(oneLong());
    EXPECT_EQ(queueReference(a), 0x1FFFFFFFu);
    EXPECT_EQ(queueReference(b), 0x21000000u) << "0x20xxxxxx would lose its last byte as trailing space";
    skipQueueHandlesTo(5);  // never backwards
    EXPECT_EQ(queueReference(c), 0x21000001u);

    Queue parent(parentLayout());
    storeQueueReference(parent.buffer() + 8, b);
    ADD(parent);
    GET(parent, 1);
    EXPECT_EQ(queueFromReferenceText(reflectFieldValue(parent.decl(), 2)), b.decl());
}

}  // namespace
}  // namespace varnok::testing
